// Senders dressed as a friend are named; ordinary senders never are.
#include "app/look_alikes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::vector<std::string> kFriends = {"claire@amis.fr", "@banque.example", "*.paypal.com", "Jean Dupont",
                                           "anne@gmail.com"};

struct LookCase {
    const char* name;
    const char* display;
    const char* address;
    std::vector<std::string> reasons;
};
const LookCase kLooks[] = {
    {"cyrillic_letter_in_domain", "Claire", "claire@\xD0\xB0mis.fr", {"ressemble à claire@amis.fr"}},
    {"rn_for_m", "", "claire@arnis.fr", {"ressemble à claire@amis.fr"}},
    {"capital_i_for_l_in_a_domain_entry", "", "service@paypaI.com", {"ressemble à *.paypal.com"}},
    {"digit_one_for_l", "", "x@paypa1.com", {"ressemble à *.paypal.com"}},
    {"letters_swapped_in_a_domain", "", "x@banqeu.example", {"ressemble à @banque.example"}},
    {"letter_dropped_from_a_domain", "", "x@banque.exmple", {"ressemble à @banque.example"}},
    {"letter_added_to_a_provider_domain", "", "anne@gmaill.com", {"ressemble à anne@gmail.com"}},
    {"whole_script_name",
     "J\xD0\xB5\xD0\xB0n Dup\xD0\xBEnt",
     "jd@ailleurs.example",
     {"ressemble à Jean Dupont"}},
    {"name_holding_another_address",
     "Claire <claire@amis.fr>",
     "x@evil.test",
     {"nom contenant une autre adresse"}},
    {"bare_address_as_name", "claire@amis.fr", "x@evil.test", {"nom contenant une autre adresse"}},
    // Ordinary senders.
    {"friend_itself", "Claire", "Claire@AMIS.fr", {}},
    {"another_address_of_a_friends_domain", "Bob", "bob@amis.fr", {}},
    {"subdomain_of_a_subdomain_entry", "PayPal", "service@mail.paypal.com", {}},
    {"friend_name_itself_any_case", "JEAN DUPONT", "jean@ailleurs.example", {}},
    {"own_address_as_name", "x@evil.test", "X@evil.test", {}},
    {"first_letter_differs", "", "x@mail.com", {}},
    {"other_provider", "", "x@hotmail.com", {}},
    {"accented_name_is_another_name", "Jéan Dupont", "x@ailleurs.example", {}},
};
class LookAlike : public testing::TestWithParam<LookCase> {};
TEST_P(LookAlike, NamesTheFriendImitated) {
    LookAlikes looks;
    looks.Assign(kFriends);
    EXPECT_EQ(looks.Of(GetParam().display, GetParam().address), GetParam().reasons);
}
INSTANTIATE_TEST_SUITE_P(Table, LookAlike, testing::ValuesIn(kLooks),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LookAlike, OrdinarySendersOfCommonDomainsAreNeverMarked) {
    LookAlikes looks;
    looks.Assign(kFriends);
    const char* domains[] = {"gmail.com",   "yahoo.fr", "orange.fr",   "free.fr",        "hotmail.fr",
                             "outlook.com", "sfr.fr",   "laposte.net", "wanadoo.fr",     "icloud.com",
                             "gmx.fr",      "aol.com",  "mail.com",    "protonmail.com", "amazon.fr"};
    const char* names[] = {"Marie Martin", "Jean Durand", "Service client", "Zoé", "", "Ma banque"};
    for (const char* domain : domains)
        for (const char* name : names) {
            const std::string address = std::string("contact.") + (name[0] ? "x" : "y") + "@" + domain;
            EXPECT_TRUE(looks.Of(name, address).empty()) << name << " <" << address << ">";
        }
}

}  // namespace
