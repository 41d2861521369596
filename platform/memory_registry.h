#pragma once
// A registry held in memory: the keys one source of accounts presents.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

struct RegistryValue {
    static RegistryValue DWord(std::uint32_t n);

    enum class Type { String, DWord, Binary };
    Type type = Type::String;
    std::string data;  // the string (Windows-1252), "dword:" and 8 hex digits, or the raw bytes
};

class MemoryRegistry : public Registry {
public:
    // Adds a key (and its parents) at `path`; a key added twice is kept once.
    void AddKey(std::string_view path);
    // Sets a value, adding its key.
    void SetValue(std::string_view keyPath, std::string_view name, RegistryValue value);

    bool OpenKeyReadOnly(std::string_view path) override;
    std::vector<std::string> GetKeyNames() const override;
    bool ValueExists(std::string_view name) const override;
    std::string ReadString(std::string_view name) const override;
    std::optional<std::uint32_t> ReadDWord(std::string_view name) const override;
    void CloseKey() override { open_.reset(); }

private:
    // Names compare as the registry's do, case aside.
    struct NameOrder {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    struct Key {
        std::string name;
        std::vector<Key> subkeys;  // in the order they were added
        // Each subkey's place, so that a key of many subkeys is found at once.
        std::map<std::string, std::size_t, NameOrder> places;
        std::vector<std::pair<std::string, RegistryValue>> values;
    };
    template <class KeyT>
    static KeyT* Child(KeyT& key, std::string_view name);
    const Key* Find(std::string_view path) const;
    Key& Make(std::string_view path);
    const RegistryValue* FindValue(std::string_view name) const;

    Key root_;
    std::optional<std::string> open_;
};
