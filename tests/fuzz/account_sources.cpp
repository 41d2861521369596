// Account sources a user's tools wrote (a compatibility hive, mail client
// settings): any bytes are read without harm, and the registry made of them
// answers every question.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "account/mail_client_accounts.h"
#include "account/wine_hive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    MemoryRegistry registry;
    ReadWineHive(bytes, registry);
    if (registry.OpenKeyReadOnly("Software")) {
        for (const std::string& name : registry.GetKeyNames()) (void)name;
    }
    (void)Pop3AccountsOfPrefs(bytes);
    (void)ProfileFoldersOfIni(bytes);
    (void)Pop3AccountOfSource(bytes);
    return 0;
}
