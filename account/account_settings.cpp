#include "account/account_settings.h"

#include <algorithm>

#include "account/account_provider.h"
#include "account/account_texts.h"
#include "account/password_store.h"
#include "account/settings_exposure.h"
#include "platform/control_characters.h"
#include "platform/file_replace.h"
#include "platform/text_format.h"

namespace {
// Every key of a slot, in the order "Tout effacer" deletes them.
constexpr std::string_view kSlotKeys[] = {
    texts::kServerKey,    texts::kUserKey,           texts::kPasswordKey,      texts::kStoredPasswordKey,
    texts::kPortKey,      texts::kSecurityKey,       texts::kFingerprintKey,   texts::kConnectLimitKey,
    texts::kReadLimitKey, texts::kAuthenticationKey, texts::kKeyringKey,       texts::kTokenCommandKey,
    texts::kClientIdKey,  texts::kMechanismKey,      texts::kResultServiceKey, texts::kUnknownFailedKey,
};

int SecondsAsMs(const std::string& text, int fallbackMs) {
    int seconds = IniInteger(Trim(text), 0);
    return seconds > 0 && seconds <= 86400 ? seconds * 1000 : fallbackMs;
}

std::string Without(std::string bytes, std::string_view key) {
    if (auto without = IniWithoutKey(bytes, texts::kSection, key)) return std::move(*without);
    return bytes;
}
}  // namespace

std::string_view UnusableNames(std::string_view host, std::string_view user) {
    constexpr std::size_t kMaxHostBytes = 253;
    constexpr std::size_t kMaxUserBytes = 255;
    if (host.size() > kMaxHostBytes) return texts::kImportHostTooLong;
    if (user.size() > kMaxUserBytes) return texts::kImportUserTooLong;
    if (WithoutControls(host) != host || WithoutControls(user) != user) return texts::kImportControl;
    return {};
}

std::string SlotKey(std::string_view name, int slot) { return std::string(name) + IntToStr(slot); }

StoredSlot ReadStoredSlot(const TIniFile& ini, int slot) {
    std::string bytes;
    ReadWholeFile(ini.FileName(), bytes);  // empty when unreadable
    auto value = [&](std::string_view name) {
        return IniValue(bytes, texts::kSection, SlotKey(name, slot)).value_or(std::string());
    };
    return {value(texts::kServerKey),         value(texts::kUserKey),         value(texts::kPasswordKey),
            value(texts::kStoredPasswordKey), value(texts::kPortKey),         value(texts::kSecurityKey),
            value(texts::kFingerprintKey),    value(texts::kConnectLimitKey), value(texts::kReadLimitKey),
            value(texts::kAuthenticationKey), value(texts::kKeyringKey),      value(texts::kTokenCommandKey),
            value(texts::kClientIdKey),       value(texts::kMechanismKey),    value(texts::kResultServiceKey),
            value(texts::kUnknownFailedKey)};
}

Account AccountFromSlot(const StoredSlot& stored) {
    Account account;
    // The old program wrote Windows-1252; the password stays the bytes stored.
    account.host = UnlabelledToUtf8(stored.host);
    account.user = UnlabelledToUtf8(stored.user);
    std::optional<std::string> stored_ =
        stored.storedPassword.empty() ? std::nullopt : DecodeStoredPassword(Trim(stored.storedPassword));
    if (stored_ && !stored_->empty()) {
        account.password = std::move(*stored_);
        account.configured = true;
    } else {
        account.configured = !stored.scrambledPassword.empty();
        account.password = ClientPassword(stored.scrambledPassword);  // empty when not configured
    }
    if (Trim(stored.keyring) == "1") {
        account.inKeyring = account.configured = true;
        account.password.clear();
    }
    account.security = ParseSecurity(stored.security).value_or(AccountSecurity::None);
    int port = IniInteger(Trim(stored.port), 0);
    account.port = port >= 1 && port <= 65535 ? port : DefaultPort(account.security);
    account.fingerprint = Trim(stored.fingerprint);
    account.connectLimitMs = SecondsAsMs(stored.connectLimit, kDefaultConnectLimitMs);
    account.readLimitMs = SecondsAsMs(stored.readLimit, kDefaultReadLimitMs);
    account.authentication =
        ParseAuthentication(stored.authentication).value_or(AccountAuthentication::Password);
    account.tokenCommand = Trim(stored.tokenCommand);
    account.clientId = Trim(stored.clientId);
    account.oauthBearer = SameText(Trim(stored.mechanism), "OAUTHBEARER");
    account.resultService = ParseResultService(stored.resultService).value_or(ResultService{});
    account.unknownIsFailed = Trim(stored.unknownFailed) == "1";
    // Its token is asked for at each log-in.
    if (account.authentication == AccountAuthentication::OAuth2) account.configured = true;
    return account;
}

Account ReadAccount(const TIniFile& ini, int slot) { return AccountFromSlot(ReadStoredSlot(ini, slot)); }

bool CanLogIn(const Account& account) {
    return account.configured && !Trim(account.host).empty() && !account.user.empty();
}

int RunnableSlots(const TIniFile& ini, const std::vector<int>& chosen, const RunSlot& run,
                  const SkipSlot& skip) {
    std::vector<int> candidates = chosen;
    if (candidates.empty())
        for (int slot = kLowestSlot; slot <= kHighestSlot; ++slot) candidates.push_back(slot);
    std::vector<std::pair<int, std::string>> met;
    for (int slot : candidates) {
        const Account account = ReadAccount(ini, slot);
        std::vector<std::string_view> lacking;
        if (Trim(account.host).empty()) lacking.push_back(texts::kLackingServer);
        if (account.user.empty()) lacking.push_back(texts::kLackingUser);
        if (lacking.size() == 2) continue;
        if (!account.configured) lacking.push_back(texts::kLackingPassword);
        std::string missing;
        for (std::size_t i = 0; i < lacking.size(); ++i)
            missing += std::string(i == 0                    ? ""
                                   : i + 1 == lacking.size() ? " et "
                                                             : ", ") +
                       std::string(lacking[i]);
        met.emplace_back(
            slot, missing.empty() ? missing : FormatText(std::string(texts::kSlotIncomplete), {missing}));
    }
    for (const auto& [slot, missing] : met) {
        if (!missing.empty())
            skip(slot, missing);
        else if (!run(slot))
            break;
    }
    return static_cast<int>(met.size());
}

std::string AccountCaption(const Account& account) {
    if (!account.configured) return std::string(texts::kCaptionNotConfigured);
    return std::string(texts::kCaptionPrefix) + account.user + std::string(texts::kCaptionSeparator) +
           account.host;
}

std::string AccountName(const Account& account) {
    return account.user + "@" + account.host + ":" + IntToStr(account.port);
}

int ReadSlotCount(const TIniFile& ini) { return ini.ReadInteger(texts::kSection, texts::kCountKey, 0); }

void SaveAccount(TIniFile& ini, int slot, std::string_view host, std::string_view user,
                 std::string_view scrambledPassword) {
    ini.WriteInteger(texts::kSection, texts::kCountKey, slot);
    ini.WriteString(texts::kSection, SlotKey(texts::kServerKey, slot), host);
    ini.WriteString(texts::kSection, SlotKey(texts::kUserKey, slot), user);
    ini.WriteString(texts::kSection, SlotKey(texts::kPasswordKey, slot), scrambledPassword);
}

void ImportAccount(TIniFile& ini, int slot, std::string_view host, std::string_view user,
                   const ImportedConnection& connection) {
    ini.WriteInteger(texts::kSection, texts::kCountKey, slot);
    ini.WriteString(texts::kSection, SlotKey(texts::kServerKey, slot), host);
    ini.WriteString(texts::kSection, SlotKey(texts::kUserKey, slot), user);
    // A port or a security the source does not give is the default, not
    // whatever a former account of the slot left.
    if (connection.port)
        ini.WriteInteger(texts::kSection, SlotKey(texts::kPortKey, slot), *connection.port);
    else
        ini.DeleteKey(texts::kSection, SlotKey(texts::kPortKey, slot));
    if (connection.security)
        ini.WriteString(texts::kSection, SlotKey(texts::kSecurityKey, slot),
                        SecurityKeyword(*connection.security));
    else
        ini.DeleteKey(texts::kSection, SlotKey(texts::kSecurityKey, slot));
    ini.DeleteKey(texts::kSection, SlotKey(texts::kPasswordKey, slot));
    ini.DeleteKey(texts::kSection, SlotKey(texts::kStoredPasswordKey, slot));
    ini.DeleteKey(texts::kSection, SlotKey(texts::kFingerprintKey, slot));
    ini.DeleteKey(texts::kSection, SlotKey(texts::kAuthenticationKey, slot));
    ini.DeleteKey(texts::kSection, SlotKey(texts::kKeyringKey, slot));
}

void SaveAccountSettings(TIniFile& ini, int slot, const Account& account, const FillerDraw& draw) {
    if (!account.password.empty()) RefuseExposedPasswordFolder(ini.FileName());
    std::string bytes = ReadIniBytesForChange(ini.FileName());
    auto set = [&](std::string_view name, std::string_view value) {
        bytes = IniWithValue(bytes, texts::kSection, SlotKey(name, slot), value);
    };
    bytes = IniWithValue(bytes, texts::kSection, texts::kCountKey, IntToStr(slot));
    set(texts::kServerKey, account.host);
    set(texts::kUserKey, account.user);
    // The old key whenever it can hold the password, so older copies of the
    // program still read it.
    if (account.password.empty() || account.inKeyring) {
        // An account that logs in without one (OAuth2), or keeps it in the keyring.
        bytes = Without(std::move(bytes), SlotKey(texts::kPasswordKey, slot));
        bytes = Without(std::move(bytes), SlotKey(texts::kStoredPasswordKey, slot));
    } else if (CanStorePassword(account.password)) {
        set(texts::kPasswordKey, ScramblePassword(account.password, draw));
        bytes = Without(std::move(bytes), SlotKey(texts::kStoredPasswordKey, slot));
    } else {
        set(texts::kStoredPasswordKey, EncodeStoredPassword(account.password));
        bytes = Without(std::move(bytes), SlotKey(texts::kPasswordKey, slot));
    }
    set(texts::kPortKey, IntToStr(account.port));
    set(texts::kSecurityKey, SecurityKeyword(account.security));
    if (account.fingerprint.empty())
        bytes = Without(std::move(bytes), SlotKey(texts::kFingerprintKey, slot));
    else
        set(texts::kFingerprintKey, account.fingerprint);
    // Absent means the password, as for files written before OAuth2.
    if (account.authentication == AccountAuthentication::OAuth2)
        set(texts::kAuthenticationKey, AuthenticationKeyword(account.authentication));
    else
        bytes = Without(std::move(bytes), SlotKey(texts::kAuthenticationKey, slot));
    if (!account.tokenCommand.empty()) set(texts::kTokenCommandKey, account.tokenCommand);
    if (account.clientId.empty())
        bytes = Without(std::move(bytes), SlotKey(texts::kClientIdKey, slot));
    else
        set(texts::kClientIdKey, account.clientId);
    if (account.oauthBearer)
        set(texts::kMechanismKey, "OAUTHBEARER");
    else
        bytes = Without(std::move(bytes), SlotKey(texts::kMechanismKey, slot));
    if (account.inKeyring)
        set(texts::kKeyringKey, "1");
    else
        bytes = Without(std::move(bytes), SlotKey(texts::kKeyringKey, slot));
    StoreIniBytes(ini.FileName(), bytes);
}

void EraseAllAccounts(TIniFile& ini) {
    // One replacement of the file for every key rather than one each.
    const FileChangeLock lock = LockIniForChange(ini.FileName());
    std::string bytes = ReadIniBytesForChange(ini.FileName());
    const int count = IniInteger(IniValue(bytes, texts::kSection, texts::kCountKey).value_or(""), 0);
    for (int slot = std::min(count, kHighestSlot); slot >= kLowestSlot; --slot) {
        for (std::string_view name : kSlotKeys) bytes = Without(std::move(bytes), SlotKey(name, slot));
    }
    StoreIniBytes(ini.FileName(), IniWithValue(bytes, texts::kSection, texts::kCountKey, IntToStr(0)));
}
