// One address text in: parse it, format it, parse the formatted text again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "message/email_address.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    TIdEMailAddressItem item;
    try {
        item.SetText(input);
    } catch (const EIdEmailParseError&) {
    }
    // Every byte of the input lands in at most one of the two fields.
    if (item.Name.size() + item.Address.size() > size) std::abort();
    TIdEMailAddressItem again;
    try {
        again.SetText(item.Text());
    } catch (const EIdEmailParseError&) {
    }
    return 0;
}
