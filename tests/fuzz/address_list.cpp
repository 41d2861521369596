// An address list text in: split it, then format the list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "message/email_address_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    TIdEMailAddressList list;
    try {
        list.AssignText(input);
    } catch (const EIdEmailParseError&) {
    }
    if (static_cast<std::size_t>(list.Count()) > size) std::abort();
    (void)list.AsText();
    return 0;
}
