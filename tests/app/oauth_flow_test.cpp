#include "app/oauth_flow.h"

#include <gtest/gtest.h>

#include "support/expect_error.h"
#include "support/recording_printer.h"

namespace {

// With no browser to show the page, nobody can come back: the flow says so
// at once instead of waiting out the user's time (a wait would end in
// ERedirectTimeout).
TEST(Authorize, EndsAtOnceWhenNothingShowsThePage) {
    const OAuthEndpoint endpoint{
        {"pop.example"}, "https://example.com/auth", "https://example.com/token", "pop", "", false};
    RecordingShell desktop;
    desktop.fails = true;
    const auto e = ExpectThrown<EOAuthFailed>([&] {
        Authorize(
            {endpoint, "client"}, "anne@example.com",
            [&](const std::string& url) { return desktop.Open(url); }, 20000);
    });
    ASSERT_TRUE(e);
    EXPECT_NE(e->Message().find("Aucun navigateur"), std::string::npos) << e->Message();
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened[0].string().rfind("https://example.com/auth?", 0), 0u) << desktop.opened[0];
}

}  // namespace
