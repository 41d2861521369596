#include "account/user_accounts.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "account/mail_client_accounts.h"
#include "account/wine_hive.h"
#include "platform/text.h"

namespace {

// Settings files are small; anything larger is not one of them.
constexpr std::uintmax_t kMaxFileSize = 16 * 1024 * 1024;

std::string FileText(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error) ||
        std::filesystem::file_size(path, error) > kMaxFileSize)
        return {};
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// "POP3 Secure Connection": 0 in clear, 1 TLS from the first byte, and 2,
// which only these sources give, for STLS.
std::uint32_t SecureConnection(MailClientSecurity security) {
    return security == MailClientSecurity::Tls ? 1 : security == MailClientSecurity::Stls ? 2 : 0;
}

// The accounts of the sources read so far, against how many are wanted.
struct Room {
    std::size_t held = 0;
    std::size_t wanted = 0;
    bool Full() const { return held >= wanted; }
};

void AddAccounts(MemoryRegistry& registry, const std::string& source,
                 const std::vector<MailClientAccount>& accounts, int& counter, Room& room) {
    room.held += accounts.size();
    for (const MailClientAccount& account : accounts) {
        const std::string key = std::string(kAccountsKey) + "\\" + source + " " + IntToStr(++counter);
        registry.SetValue(key, "POP3 Server", {RegistryValue::Type::String, account.server});
        registry.SetValue(key, "POP3 User Name", {RegistryValue::Type::String, account.user});
        if (account.port > 0) registry.SetValue(key, "POP3 Port", RegistryValue::DWord(account.port));
        if (account.security != MailClientSecurity::Unknown)
            registry.SetValue(key, "POP3 Secure Connection",
                              RegistryValue::DWord(SecureConnection(account.security)));
    }
}

void AddThunderbird(MemoryRegistry& registry, const std::filesystem::path& home, Room& room) {
    const std::filesystem::path base = home / ".thunderbird";
    int counter = 0;
    for (const ProfileFolder& folder : ProfileFoldersOfIni(FileText(base / "profiles.ini"))) {
        if (room.Full()) return;
        std::filesystem::path profile =
            folder.relative ? base / folder.path : std::filesystem::path(folder.path);
        AddAccounts(registry, "Thunderbird", Pop3AccountsOfPrefs(FileText(profile / "prefs.js")), counter,
                    room);
    }
}

void AddEvolution(MemoryRegistry& registry, const std::filesystem::path& home, Room& room) {
    std::vector<std::filesystem::path> sources;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(home / ".config/evolution/sources", error))
        if (entry.path().extension() == ".source") sources.push_back(entry.path());
    std::sort(sources.begin(), sources.end());
    int counter = 0;
    for (const std::filesystem::path& source : sources) {
        if (room.Full()) return;
        AddAccounts(registry, "Evolution", Pop3AccountOfSource(FileText(source)), counter, room);
    }
}

}  // namespace

UserFolders UserFolders::FromEnvironment() {
    UserFolders folders;
    if (const char* home = std::getenv("HOME")) folders.home = home;
    const char* prefix = std::getenv("WINEPREFIX");
    folders.winePrefix = prefix && *prefix ? std::filesystem::path(prefix) : folders.home / ".wine";
    return folders;
}

MemoryRegistry UserAccountRegistry(const UserFolders& folders, std::size_t wanted) {
    MemoryRegistry registry;
    Room room{0, wanted};
    if (room.Full()) return registry;
    ReadWineHive(FileText(folders.winePrefix / "user.reg"), registry);
    if (registry.OpenKeyReadOnly(kAccountsKey)) room.held = registry.GetKeyNames().size();
    registry.CloseKey();
    AddThunderbird(registry, folders.home, room);
    AddEvolution(registry, folders.home, room);
    return registry;
}
