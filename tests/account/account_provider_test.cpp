// What an address fills from a table of providers, and how the table's text
// is read.
#include "account/account_provider.h"

#include <gtest/gtest.h>

#include "support/scratch_folder.h"

namespace {

// A table as a user could write it: comments, spacing, keywords in any case,
// and lines a hand edit spoilt.
const std::string kTable =
    "; comment\r\n"
    "# another comment\r\n"
    "\r\n"
    "exemple.fr  Exemple.COM ; pop.exemple.fr ; 995 ; tls ; MotDePasse ; adresse\r\n"
    "acces.fr;pop.acces.fr;110;STLS;motdepasse;IDENTIFIANT\n"
    "nuage.example;pop.nuage.example;995;TLS;OAuth2;adresse\n"
    "port.example;pop.port.example;0;TLS;motdepasse;adresse\n"
    "securite.example;pop.securite.example;995;SSL;motdepasse;adresse\n"
    "champs.example;pop.champs.example;995;TLS;motdepasse\n"
    "usager.example;pop.usager.example;995;TLS;motdepasse;nom\n"
    "oauth2;pop.nuage.example;https://n.example/auth;https://n.example/token;pop;id-nuage;OAuthBearer\n"
    "oauth2;pop.exemple.fr;https://e.example/auth;https://e.example/token;pop;id-exemple\n"
    "brume.example;pop.brume.example;995;TLS;oauth2;adresse\n"
    "givre.example;pop.givre.example;995;TLS;oauth2;adresse\n"
    "oauth2;pop.givre.example;https://g.example/auth;https://g.example/token;pop;id-givre;PLAIN\n"
    "long.example;pop." +
    std::string(250, 'l') +
    ";995;TLS;motdepasse;adresse\n"
    "limite.example;pop." +
    std::string(249, 'l') +
    ";995;TLS;motdepasse;adresse\n"
    "controle.example;pop.controle\x1B[2J.example;995;TLS;motdepasse;adresse\n"
    "gel.example;pop.gel.example;995;TLS;oauth2;adresse\n"
    "oauth2;pop.gel.example;https://g.example/auth;https://g.example/token;pop;id\x07gel\n"
    "AuthServ ; pop.exemple.fr  POP.Acces.fr ; mx.exemple.fr  *.Relais.exemple.fr\n"
    "authserv;pop.nuage.example;Premier\n"
    "authserv;pop.brume.example;\n"
    "authserv;pop.givre.example;mx.givre.example;extra\n";

const std::string kLongestHost = "pop." + std::string(249, 'l');

struct FillCase {
    const char* name;
    const char* address;
    bool found;
    const char* host;
    const char* user;
    int port;
    AccountSecurity security;
    AccountAuthentication authentication;
    // From the endpoints of the server, for OAuth2.
    const char* clientId = "";
    bool oauthBearer = false;
};
constexpr auto kTls = AccountSecurity::Tls;
constexpr auto kPass = AccountAuthentication::Password;
const FillCase kFills[] = {
    {"whole_address_is_the_user", "anne@exemple.fr", true, "pop.exemple.fr", "anne@exemple.fr", 995, kTls,
     kPass},
    {"second_domain_of_a_line_in_capitals", "Anne@EXEMPLE.com", true, "pop.exemple.fr", "Anne@EXEMPLE.com",
     995, kTls, kPass},
    {"blanks_around_the_address", "  anne@exemple.fr ", true, "pop.exemple.fr", "anne@exemple.fr", 995, kTls,
     kPass},
    {"local_part_is_the_user", "zoé.m@acces.fr", true, "pop.acces.fr", "zoé.m", 110, AccountSecurity::Stls,
     kPass},
    {"oauth2_provider_with_its_servers_client_and_mechanism", "a@nuage.example", true, "pop.nuage.example",
     "a@nuage.example", 995, kTls, AccountAuthentication::OAuth2, "id-nuage", true},
    {"oauth2_provider_without_endpoints", "a@brume.example", true, "pop.brume.example", "a@brume.example",
     995, kTls, AccountAuthentication::OAuth2, "", false},
    {"unknown_mechanism_endpoints_left_out", "a@givre.example", true, "pop.givre.example", "a@givre.example",
     995, kTls, AccountAuthentication::OAuth2, "", false},
    {"last_at_sign_splits", "\"a@b\"@acces.fr", true, "pop.acces.fr", "\"a@b\"", 110, AccountSecurity::Stls,
     kPass},
    {"unknown_domain", "anne@inconnu.example", false, "", "", 0, kTls, kPass},
    {"subdomain_is_another_domain", "anne@mail.exemple.fr", false, "", "", 0, kTls, kPass},
    {"no_at_sign", "exemple.fr", false, "", "", 0, kTls, kPass},
    {"empty_local_part", "@exemple.fr", false, "", "", 0, kTls, kPass},
    {"empty_domain", "anne@", false, "", "", 0, kTls, kPass},
    {"blank_inside", "an ne@exemple.fr", false, "", "", 0, kTls, kPass},
    {"port_out_of_range_line_left_out", "a@port.example", false, "", "", 0, kTls, kPass},
    {"unknown_security_line_left_out", "a@securite.example", false, "", "", 0, kTls, kPass},
    {"line_without_six_fields_left_out", "a@champs.example", false, "", "", 0, kTls, kPass},
    {"server_over_253_bytes_line_left_out", "a@long.example", false, "", "", 0, kTls, kPass},
    {"server_of_253_bytes_kept", "a@limite.example", true, kLongestHost.c_str(), "a@limite.example", 995,
     kTls, kPass},
    {"control_character_line_left_out", "a@controle.example", false, "", "", 0, kTls, kPass},
    {"control_character_in_client_id_endpoints_left_out", "a@gel.example", true, "pop.gel.example",
     "a@gel.example", 995, kTls, AccountAuthentication::OAuth2},
    {"unknown_user_keyword_line_left_out", "a@usager.example", false, "", "", 0, kTls, kPass},
};
class AddressFill_ : public testing::TestWithParam<FillCase> {};
TEST_P(AddressFill_, FillsFromTheTable) {
    const FillCase& c = GetParam();
    std::optional<AddressFill> fill = FillFromAddress(ProviderTable::Parse(kTable), c.address);
    ASSERT_EQ(fill.has_value(), c.found);
    if (!c.found) return;
    EXPECT_EQ(fill->host, c.host);
    EXPECT_EQ(fill->user, c.user);
    EXPECT_EQ(fill->port, c.port);
    EXPECT_EQ(fill->security, c.security);
    EXPECT_EQ(fill->authentication, c.authentication);
    EXPECT_EQ(fill->clientId, c.clientId) << "a password provider takes none from its server's endpoints";
    EXPECT_EQ(fill->oauthBearer, c.oauthBearer);
}
INSTANTIATE_TEST_SUITE_P(Table, AddressFill_, testing::ValuesIn(kFills),
                         [](const auto& info) { return std::string(info.param.name); });

// Whose result headers a server's mail trusts; a broken service line is
// left out, and the providers beside it stay.
struct ServiceCase {
    const char* name;
    const char* host;
    std::vector<std::string> ids;
    bool topmost;
};
const ServiceCase kServices[] = {
    {"ids_and_pattern_in_lower_case", "pop.exemple.fr", {"mx.exemple.fr", "*.relais.exemple.fr"}, false},
    {"second_server_any_case", "Pop.ACCES.fr", {"mx.exemple.fr", "*.relais.exemple.fr"}, false},
    {"service_without_id", "pop.nuage.example", {}, true},
    {"empty_ids_left_out", "pop.brume.example", {}, false},
    {"fourth_field_left_out", "pop.givre.example", {}, false},
    {"server_without_line", "pop.port.example", {}, false},
};
class ResultServiceLine : public testing::TestWithParam<ServiceCase> {};
TEST_P(ResultServiceLine, NamesTheServersReceivingService) {
    const ProviderTable table = ProviderTable::Parse(kTable);
    const ResultService service = table.FindResultService(GetParam().host);
    EXPECT_EQ(service.ids, GetParam().ids);
    EXPECT_EQ(service.topmost, GetParam().topmost);
    EXPECT_TRUE(FillFromAddress(table, "a@exemple.fr")) << "a provider line beside it still fills";
}
INSTANTIATE_TEST_SUITE_P(Table, ResultServiceLine, testing::ValuesIn(kServices),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProviderFiles, InstalledTableNamesTheBigServicesAndStillFills) {
    const ProviderTable table = ProviderTable::Read({VANNOIR_PROVIDER_TABLE});
    EXPECT_TRUE(ServiceWrote(table.FindResultService("pop.gmail.com"), "mx.google.com"));
    EXPECT_TRUE(table.FindResultService("outlook.office365.com").topmost);
    EXPECT_TRUE(ServiceWrote(table.FindResultService("pop.mail.yahoo.com"),
                             "atlas-production.v2.mail.gq1.yahoo.com"));
    EXPECT_TRUE(ServiceWrote(table.FindResultService("pop.fastmail.com"), "mx3.messagingengine.com"));
    std::optional<AddressFill> gmail = FillFromAddress(table, "anne@gmail.com");
    ASSERT_TRUE(gmail);
    EXPECT_EQ(gmail->host, "pop.gmail.com");
}

TEST(ProviderFiles, TheUsersTableWinsAndAMissingFileAddsNothing) {
    ScratchFolder dir;
    PutFile(dir / "user.TXT", "exemple.fr;pop.perso.example;2995;TLS;motdepasse;identifiant\r\n");
    PutFile(dir / "installed.TXT", kTable);
    ProviderTable table = ProviderTable::Read({dir / "user.TXT", dir / "absent.TXT", dir / "installed.TXT"});
    std::optional<AddressFill> own = FillFromAddress(table, "anne@exemple.fr");
    ASSERT_TRUE(own);
    EXPECT_EQ(own->host, "pop.perso.example");
    EXPECT_EQ(own->user, "anne");
    EXPECT_TRUE(FillFromAddress(table, "a@exemple.com"))
        << "the installed line still serves its other domain";
}

}  // namespace
