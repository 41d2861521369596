#include "account/user_accounts.h"

#include <gtest/gtest.h>

#include <chrono>

#include "platform/text.h"
#include "support/scratch_folder.h"

namespace {

using Strings = std::vector<std::string>;

// Every account subkey as "name: server / user", or the read error's text.
Strings Accounts(MemoryRegistry& registry) {
    Strings lines;
    if (!registry.OpenKeyReadOnly(kAccountsKey)) return lines;
    Strings names = registry.GetKeyNames();
    for (const std::string& name : names) {
        registry.OpenKeyReadOnly(std::string(kAccountsKey) + "\\" + name);
        std::string line = name + ": ";
        try {
            line += registry.ValueExists("POP3 Server") ? registry.ReadString("POP3 Server") : "-";
            line += " / ";
            line += registry.ReadString("POP3 User Name");
            for (const char* value : {"POP3 Port", "POP3 Secure Connection"})
                if (auto n = registry.ReadDWord(value)) line += " " + std::to_string(*n);
        } catch (const ERegistryException& e) {
            line += e.Message();
        }
        lines.push_back(line);
    }
    return lines;
}

const std::string kHiveHead =
    "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21\n\n#arch=win32\n";
const std::string kAccounts = "[Software\\\\Microsoft\\\\Internet Account Manager\\\\Accounts";

struct HiveCase {
    const char* name;
    std::string hive;
    Strings accounts;
};
const HiveCase kHives[] = {
    {"string_values_with_escapes",
     kHiveHead + kAccounts + "\\\\00000001] 1700000000\n#time=1d9\n\"POP3 Server\"=\"pop.exemple.fr\"\n" +
         "\"POP3 User Name\"=\"h\\xe9l\\xe8ne \\\"h\\\" \\\\ x\"\n",
     {"00000001: pop.exemple.fr / " + std::string("hélène \"h\" \\ x")}},
    {"dword_port_and_security_read_as_numbers_a_malformed_one_not",
     kHiveHead + kAccounts +
         "\\3] 1\n\"POP3 Server\"=\"p\"\n\"POP3 Port\"=dword:000003e3\n\"POP3 Secure Connection\"=dword:1\n",
     {"3: p /  995"}},
    {"dword_server_gives_the_type_error",
     kHiveHead + kAccounts + "\\\\00000002] 1\n\"POP3 Server\"=dword:00000001\n",
     {"00000002: " + std::string("Type de données incorrect pour 'POP3 Server'")}},
    {"continued_hex_user_gives_the_type_error_and_later_values_still_read",
     kHiveHead + kAccounts + "\\\\a] 1\n\"POP3 User Name\"=hex(2):61,00,\\\n  62,00\n\"POP3 Server\"=\"p\"\n",
     {"a: p / " + std::string("Type de données incorrect pour 'POP3 User Name'")}},
    {"missing_user_reads_empty_and_other_accounts_kept_in_order",
     kHiveHead + kAccounts + "\\\\b] 1\n\"IMAP Server\"=\"imap.fr\"\n" + kAccounts +
         "\\\\a] 1\n\"POP3 Server\"=\"pop.a.fr\"\n",
     {"b: - / ", "a: pop.a.fr / "}},
    {"malformed_lines_skipped",
     kHiveHead + kAccounts +
         "\\\\c] 1\n\"POP3 Server\n=\"x\"\ngarbage\n\"POP3 Server\"=\"ok.fr\"\n[unclosed\n",
     {"c: ok.fr / "}},
    {"no_accounts_key", kHiveHead + "[Software\\\\Other] 1\n\"a\"=\"b\"\n", {}},
};
class Hive : public testing::TestWithParam<HiveCase> {};
TEST_P(Hive, PresentsItsAccounts) {
    ScratchFolder home;
    PutFile(home / ".wine" / "user.reg", GetParam().hive);
    MemoryRegistry registry = UserAccountRegistry({home.Path(), home / ".wine"});
    EXPECT_EQ(Accounts(registry), GetParam().accounts);
}
INSTANTIATE_TEST_SUITE_P(Table, Hive, testing::ValuesIn(kHives),
                         [](const auto& info) { return std::string(info.param.name); });

// A home with a hive, two mail client profiles and mail sources, POP3 and
// IMAP accounts mixed: only the POP3 ones, hive first, then each client in
// its file order.
void PutEverySource(ScratchFolder& home) {
    PutFile(home / "prefixe" / "user.reg",
            kHiveHead + kAccounts + "\\\\1] 1\n\"POP3 Server\"=\"pop.wine.fr\"\n");
    PutFile(home / ".thunderbird" / "profiles.ini",
            "[General]\nStartWithLastProfile=1\n\n[Profile1]\nName=autre\nIsRelative=1\nPath=b.autre\n\n"
            "[Profile0]\nName=default\nIsRelative=0\nPath=" +
                (home / "ailleurs" / "a.default").string() + "\n");
    PutFile(home / ".thunderbird" / "b.autre" / "prefs.js",
            "// Mozilla User Preferences\n"
            "user_pref(\"mail.server.server2.hostname\", \"imap.fr\");\n"
            "user_pref(\"mail.server.server2.type\", \"imap\");\n"
            "user_pref(\"mail.server.server3.userName\", \"z\\u00e9lie\");\n"
            "user_pref(\"mail.server.server3.hostname\", \"pop.tb.fr\");\n"
            "user_pref(\"mail.server.server3.type\", \"pop3\");\n"
            "user_pref(\"mail.server.server3.port\", 995);\n"
            "user_pref(\"mail.server.server3.socketType\", 3);\n"
            "user_pref(\"mail.server.server1.type\", \"none\");\n");
    PutFile(home / "ailleurs" / "a.default" / "prefs.js",
            "user_pref(\"mail.server.server1.type\", \"pop3\");\n"
            "user_pref(\"mail.server.server1.hostname\", \"pop.abs.fr\");\n");
    const auto sources = home / ".config" / "evolution" / "sources";
    PutFile(sources / "b.source",
            "[Data Source]\nDisplayName=Travail\n\n[Mail Account]\nBackendName=pop\n\n"
            "[Authentication]\nHost=pop.evo.fr\nPort=110\nUser=anne\n[Security]\nMethod=starttls-on-standard-"
            "port\n");
    PutFile(sources / "a.source", "[Mail Account]\nBackendName=imapx\n[Authentication]\nHost=imap.evo.fr\n");
    PutFile(sources / "c.txt", "[Mail Account]\nBackendName=pop\n[Authentication]\nHost=pas.une.source\n");
}
TEST(UserAccounts, EverySourceInItsOrder) {
    ScratchFolder home;
    PutEverySource(home);
    MemoryRegistry registry = UserAccountRegistry({home.Path(), home / "prefixe"});
    EXPECT_EQ(Accounts(registry),
              (Strings{"1: pop.wine.fr / ", "Thunderbird 1: pop.tb.fr / " + std::string("zélie") + " 995 1",
                       "Thunderbird 2: pop.abs.fr / ", "Evolution 1: pop.evo.fr / anne 110 2"}));
}

// Once the accounts wanted are held, the sources after are not read: the
// source that reaches the number is read whole.
TEST(UserAccounts, ReadingStopsOnceTheWantedAccountsAreHeld) {
    ScratchFolder home;
    PutEverySource(home);
    MemoryRegistry registry = UserAccountRegistry({home.Path(), home / "prefixe"}, 2);
    EXPECT_EQ(Accounts(registry), (Strings{"1: pop.wine.fr / ",
                                           "Thunderbird 1: pop.tb.fr / " + std::string("zélie") + " 995 1"}));
}

// A profile listing twenty thousand servers is read, and each read back,
// in a time that grows with their number, not with its square.
TEST(UserAccounts, ManyServersAreReadInLinearTime) {
    ScratchFolder home;
    std::string prefs;
    constexpr int kServers = 20000;
    for (int i = 1; i <= kServers; ++i) {
        const std::string server = "user_pref(\"mail.server.server" + std::to_string(i);
        prefs += server + ".type\", \"pop3\");\n" + server + ".hostname\", \"pop" + std::to_string(i) +
                 ".fr\");\n" + server + ".userName\", \"u\");\n";
    }
    PutFile(home / ".thunderbird" / "profiles.ini", "[Profile0]\nPath=p\n");
    PutFile(home / ".thunderbird" / "p" / "prefs.js", prefs);
    const auto start = std::chrono::steady_clock::now();
    MemoryRegistry registry = UserAccountRegistry({home.Path(), home / ".wine"});
    const Strings accounts = Accounts(registry);
    const auto spent = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(accounts.size(), static_cast<std::size_t>(kServers));
    EXPECT_EQ(accounts.back(), "Thunderbird 20000: pop20000.fr / u");
    // Linear, this takes well under a second; the square of it, minutes.
    EXPECT_LT(spent, std::chrono::seconds(10));
}

TEST(UserAccounts, NothingThereGivesNoAccountsKey) {
    ScratchFolder home;
    MemoryRegistry registry = UserAccountRegistry({home.Path(), home / ".wine"});
    EXPECT_FALSE(registry.OpenKeyReadOnly(kAccountsKey));
}

}  // namespace
