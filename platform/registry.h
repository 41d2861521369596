#pragma once
// The current user's registry, read only: keys by path, their subkeys and
// named values. One key is open at a time, as the import walks them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/id_exception.h"
#include "platform/text.h"

// A value read as a string that holds another type; the text names the value.
class ERegistryException : public EIdException {
public:
    using EIdException::EIdException;
    VANNOIR_ERROR_KIND(Other)
};
VANNOIR_LIST_ERROR(ERegistryException, std::string("x"));
// "Type de données incorrect pour '<name>'".
ERegistryException WrongRegistryType(std::string_view valueName);

class Registry {
public:
    virtual ~Registry() = default;
    // Opens `path` (backslash-separated, under the current user's hive,
    // names matched ignoring case); false when there is no such key, and
    // then no key is open.
    virtual bool OpenKeyReadOnly(std::string_view path) = 0;
    // The open key's subkey names, in the registry's order; empty when no
    // key is open.
    virtual std::vector<std::string> GetKeyNames() const = 0;
    virtual bool ValueExists(std::string_view name) const = 0;
    // The named value of the open key, up to its first byte 0; empty when
    // missing. Throws ERegistryException for a value that is not a string.
    virtual std::string ReadString(std::string_view name) const = 0;
    // The named value of the open key as a number when it is a DWORD;
    // nothing when missing or of another type.
    virtual std::optional<std::uint32_t> ReadDWord(std::string_view name) const = 0;
    virtual void CloseKey() = 0;
};
