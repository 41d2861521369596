#include "app/oauth_flow.h"

#include <gtest/gtest.h>

#include "support/expect_error.h"

namespace {

// With no browser to show the page, nobody can come back: the flow says so
// at once instead of waiting out the user's time (a wait would end in
// ERedirectTimeout).
TEST(Authorize, EndsAtOnceWhenNothingShowsThePage) {
    const OAuthEndpoint endpoint{
        {"pop.example"}, "https://example.com/auth", "https://example.com/token", "pop", ""};
    std::string shown;
    const auto e = ExpectThrown<EOAuthFailed>([&] {
        Authorize(
            {endpoint, "client"}, "anne@example.com",
            [&](const std::string& url) { return shown = url, false; }, 20000);
    });
    ASSERT_TRUE(e);
    EXPECT_NE(e->Message().find("Aucun navigateur"), std::string::npos) << e->Message();
    EXPECT_EQ(shown.rfind("https://example.com/auth?", 0), 0u) << shown;
}

}  // namespace
