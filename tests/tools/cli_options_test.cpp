#include "tools/cli_options.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

struct GoodCase {
    const char* name;
    Args args;
    CliCommand command;
    int message, account;
    bool purge;
    std::string host, user;
    int port;  // 0: not given
    CliVerbosity verbosity = CliVerbosity::Normal;
    CliFormat format = CliFormat::Tsv;
    const char* listText = nullptr;  // null: not looked at
};
const GoodCase kGood[] = {
    {"headers_default_account", {"en-tetes"}, CliCommand::Headers, 0, 1, false, "", "", 0},
    {"headers_purge_account_zero",
     {"en-tetes", "--compte", "0", "--purger"},
     CliCommand::Headers,
     0,
     0,
     true,
     "",
     "",
     0},
    {"option_before_command", {"--compte=10", "en-tetes"}, CliCommand::Headers, 0, 10, false, "", "", 0},
    {"preview_number", {"apercu", "12"}, CliCommand::Preview, 12, 1, false, "", "", 0},
    {"delete_with_overrides",
     {"supprimer", "3", "--hote", "127.0.0.1", "--port", "2110", "--utilisateur=zo\xC3\xA9"},
     CliCommand::Delete,
     3,
     1,
     false,
     "127.0.0.1",
     "zo\xC3\xA9",
     2110},
    {"help_alone", {"--aide"}, CliCommand::Help, 0, 1, false, "", "", 0},
    {"friends_list_by_default", {"amis"}, CliCommand::Friends, 0, 1, false, "", "", 0},
    {"intruders_add", {"intrus", "ajouter", "*@pub.example"}, CliCommand::Intruders, 0, 1, false, "", "", 0},
    {"journal", {"journal"}, CliCommand::Journal, 0, 1, false, "", "", 0},
    {"corbeille_extract_takes_the_number",
     {"corbeille", "extraire", "7", "copie.eml", "--format=json"},
     CliCommand::Corbeille,
     7,
     1,
     false,
     "",
     "",
     0,
     CliVerbosity::Normal,
     CliFormat::Json},
    {"help_wins_over_bad_command", {"nimporte", "--aide"}, CliCommand::Help, 0, 1, false, "", "", 0},
    {"help_in_english", {"--help"}, CliCommand::Help, 0, 1, false, "", "", 0},
    {"help_short", {"en-tetes", "-h"}, CliCommand::Help, 0, 1, false, "", "", 0},
    {"version", {"--version"}, CliCommand::Version, 0, 1, false, "", "", 0},
    {"headers_with_accents", {"en-t\xC3\xAAtes"}, CliCommand::Headers, 0, 1, false, "", "", 0},
    {"headers_in_english", {"headers", "--purger"}, CliCommand::Headers, 0, 1, true, "", "", 0},
    {"preview_in_english", {"preview", "4", "--compte", "2"}, CliCommand::Preview, 4, 2, false, "", "", 0},
    {"delete_in_english", {"delete", "3"}, CliCommand::Delete, 3, 1, false, "", "", 0},
    // The entry after an English action stays as typed, even when it is an action's name.
    {"friends_add_in_english",
     {"friends", "add", "list"},
     CliCommand::Friends,
     0,
     1,
     false,
     "",
     "",
     0,
     CliVerbosity::Normal,
     CliFormat::Tsv,
     "list"},
    {"intruders_remove_in_english",
     {"intruders", "remove", "x@pub.example"},
     CliCommand::Intruders,
     0,
     1,
     false,
     "",
     "",
     0},
    {"trash_extract_in_english",
     {"trash", "extract", "2", "copie.eml"},
     CliCommand::Corbeille,
     2,
     1,
     false,
     "",
     "",
     0},
    {"preview_with_accent_json",
     {"aper\xC3\xA7u", "4", "--format", "json"},
     CliCommand::Preview,
     4,
     1,
     false,
     "",
     "",
     0,
     CliVerbosity::Normal,
     CliFormat::Json},
    {"quiet_short", {"-q", "en-tetes"}, CliCommand::Headers, 0, 1, false, "", "", 0, CliVerbosity::Quiet},
    {"verbose_last_wins",
     {"en-tetes", "--silencieux", "--bavard"},
     CliCommand::Headers,
     0,
     1,
     false,
     "",
     "",
     0,
     CliVerbosity::Verbose},
    {"short_options_together",
     {"supprimer", "2", "-qv", "--format=tsv"},
     CliCommand::Delete,
     2,
     1,
     false,
     "",
     "",
     0,
     CliVerbosity::Verbose},
};
class CliParse : public testing::TestWithParam<GoodCase> {};
TEST_P(CliParse, Reads) {
    CliOptions o = ParseCliArguments(GetParam().args);
    EXPECT_EQ(o.command, GetParam().command);
    EXPECT_EQ(o.message, GetParam().message);
    EXPECT_EQ(o.account, GetParam().account);
    EXPECT_EQ(o.purge, GetParam().purge);
    EXPECT_EQ(o.host.value_or(""), GetParam().host);
    EXPECT_EQ(o.user.value_or(""), GetParam().user);
    EXPECT_EQ(o.port.value_or(0), GetParam().port);
    EXPECT_EQ(o.verbosity, GetParam().verbosity);
    EXPECT_EQ(o.format, GetParam().format);
    if (GetParam().listText) {
        EXPECT_EQ(o.listText, GetParam().listText);
    }
}
INSTANTIATE_TEST_SUITE_P(Table, CliParse, testing::ValuesIn(kGood),
                         [](const auto& info) { return std::string(info.param.name); });

struct BadCase {
    const char* name;
    Args args;
};
const BadCase kBad[] = {
    {"nothing", {}},
    {"unknown_command", {"lire"}},
    {"english_action_as_command", {"add", "x@pub.example"}},
    {"preview_without_number", {"apercu"}},
    {"number_zero", {"supprimer", "0"}},
    {"number_not_decimal", {"apercu", "3x"}},
    {"extra_argument", {"en-tetes", "4"}},
    {"account_eleven", {"en-tetes", "--compte", "11"}},
    {"account_missing_value", {"en-tetes", "--compte"}},
    {"port_zero", {"en-tetes", "--port=0"}},
    {"purge_with_delete", {"supprimer", "2", "--purger"}},
    {"flag_with_value", {"en-tetes", "--purger=oui"}},
    {"unknown_option", {"en-tetes", "--tout"}},
    {"account_without_slot", {"compte"}},
    {"account_server_without_user", {"compte", "2", "--serveur", "pop.fr"}},
    {"account_port_alone", {"compte", "2", "--port", "995"}},
    {"unknown_security", {"compte", "2", "--serveur", "h", "--utilisateur", "u", "--securite", "ssl"}},
    {"fingerprint_outside_account", {"en-tetes", "--empreinte", "AB"}},
    {"address_outside_account", {"en-tetes", "--adresse", "anne@exemple.fr"}},
    {"tester_outside_account", {"en-tetes", "--tester"}},
    {"tester_takes_no_value", {"compte", "1", "--tester=oui"}},
    {"keyring_neither_oui_nor_non", {"compte", "1", "--trousseau", "peut-etre"}},
    {"unknown_authentication",
     {"compte", "1", "--adresse", "a@exemple.fr", "--authentification", "kerberos"}},
    {"authentication_without_server_or_address", {"compte", "1", "--authentification", "oauth2"}},
    {"certificate_without_host", {"certificat"}},
    {"delay_zero", {"en-tetes", "--delai", "0"}},
    {"list_unknown_action", {"amis", "vider"}},
    {"list_add_without_text", {"intrus", "ajouter"}},
    {"list_extra_argument", {"amis", "lister", "Anne"}},
    {"list_with_purge", {"intrus", "--purger"}},
    {"all_accounts_for_one_message", {"apercu", "1", "--compte", "tous"}},
    {"all_accounts_on_one_server", {"en-tetes", "--compte", "tous", "--hote", "h"}},
    {"journal_extra_argument", {"journal", "tout"}},
    {"corbeille_extract_without_file", {"corbeille", "extraire", "2"}},
    {"corbeille_unknown_action", {"corbeille", "restaurer"}},
    {"unknown_short_option", {"en-tetes", "-x"}},
    {"format_unknown", {"en-tetes", "--format=xml"}},
    {"format_of_a_list", {"amis", "--format", "json"}},
    {"version_with_value", {"--version=2"}},
    {"accent_without_its_letter", {"aper\xC3\xA7", "1"}},
};
class CliParseBad : public testing::TestWithParam<BadCase> {};
// A mistake is told in one line that names it and where the rest is.
TEST_P(CliParseBad, IsUsageErrorOfOneLine) {
    try {
        ParseCliArguments(GetParam().args);
        ADD_FAILURE() << "no usage error";
    } catch (const CliUsageError& e) {
        const std::string line = CliUsageErrorLine(e);
        EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
        EXPECT_TRUE(line.starts_with("vannoir-cli : ")) << line;
        EXPECT_NE(line.find("vannoir-cli --aide"), std::string::npos) << line;
    }
}
INSTANTIATE_TEST_SUITE_P(Table, CliParseBad, testing::ValuesIn(kBad),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
