// Where the token client sends a form: https anywhere, plain http only on
// the loopback, and never to an address that hides its host.
#include "net/http_post.h"

#include <gtest/gtest.h>

#include "support/expect_error.h"
#include "support/loopback.h"

namespace {

struct AddressCase {
    const char* name;
    const char* url;
    bool accepted;  // PostForm may connect
    // The parts; port 0 for an address that does not parse.
    const char* host;
    int port;
    const char* target;
};

const AddressCase kAddresses[] = {
    {"https_default_port", "https://login.example.com/common/token", true, "login.example.com", 443,
     "/common/token"},
    {"https_port_and_query", "HTTPS://h.example:8443/t?x=1#frag", true, "h.example", 8443, "/t?x=1"},
    {"http_loopback", "http://127.0.0.1:9000/token", true, "127.0.0.1", 9000, "/token"},
    {"http_localhost_no_path", "http://localhost:9000", true, "localhost", 9000, "/"},
    {"http_ipv6_loopback", "http://[::1]:9000/token", true, "::1", 9000, "/token"},
    {"http_elsewhere_refused", "http://oauth2.example.com/token", false, "oauth2.example.com", 80, "/token"},
    {"http_name_starting_with_127_refused", "http://127.example.com/token", false, "127.example.com", 80,
     "/token"},
    {"user_information_refused", "https://127.0.0.1@evil.example/token", false, "", 0, ""},
    {"other_scheme_refused", "ftp://h.example/token", false, "", 0, ""},
    {"port_zero_refused", "https://h.example:0/token", false, "", 0, ""},
    {"port_too_large_refused", "https://h.example:65536/token", false, "", 0, ""},
    {"empty_host_refused", "https:///token", false, "", 0, ""},
};

class HttpAddressTable : public testing::TestWithParam<AddressCase> {};

TEST_P(HttpAddressTable, ParsesAndRefusesCleartextOffTheLoopback) {
    const AddressCase& c = GetParam();
    const std::optional<HttpAddress> address = ParseHttpAddress(c.url);
    if (c.port != 0) {
        ASSERT_TRUE(address.has_value());
        EXPECT_EQ(address->host, c.host);
        EXPECT_EQ(address->port, c.port);
        EXPECT_EQ(address->target, c.target);
    } else {
        EXPECT_FALSE(address.has_value());
    }
    // Refused before any connection is tried.
    if (!c.accepted) ExpectThrown<EHttpAddressRefused>([&] { PostForm(c.url, "a=b", 2000); });
}

INSTANTIATE_TEST_SUITE_P(Table, HttpAddressTable, testing::ValuesIn(kAddresses),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HttpPost, AFormGoesOutEncodedAndTheAnswerComesBackWhole) {
    EXPECT_EQ(FormBody({{"grant_type", "refresh_token"}, {"refresh_token", "a b+c/é~"}}),
              "grant_type=refresh_token&refresh_token=a%20b%2Bc%2F%C3%A9~");
    EXPECT_THROW(PostForm("http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/t", "a=b", 2000),
                 EIdException);
}

}  // namespace
