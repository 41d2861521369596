#include "account/oauth_flow.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "net/loopback_redirect.h"
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

// Requests to the listener before the browser's own: any local program can
// make them. Each is turned away (400) and the wait goes on to the request
// that carries the flow's state, here a denial.
struct StrayCase {
    const char* name;
    std::vector<std::string> strays;  // sent in order; "" connects and sends nothing
    bool answered;                    // each stray gets a 400
};
const StrayCase kStrays[] = {
    {"wrong_state", {"GET /?state=autre&code=c HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"}, true},
    {"missing_state", {"GET /?code=c HTTP/1.1\r\n\r\n"}, true},
    {"not_a_get", {"OPTIONS * HTTP/1.1\r\n\r\n"}, true},
    {"eight_megabyte_request_line", {"GET /" + std::string(8 << 20, 'a')}, false},
    {"three_half_open_connections", {"", "", ""}, false},
};

int ConnectTo(const std::string& url) {
    const int port = std::stoi(url.substr(url.rfind(':') + 1));
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return fd;
}

// What came back on `fd` within a second, up to its close.
std::string Received(int fd) {
    std::string bytes;
    char chunk[4096];
    for (pollfd p{fd, POLLIN, 0}; ::poll(&p, 1, 1000) > 0;) {
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) break;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}

class StrayRequests : public testing::TestWithParam<StrayCase> {};
TEST_P(StrayRequests, AreTurnedAwayWhileTheFlowWaitsForItsOwn) {
    const OAuthEndpoint endpoint{
        {"pop.example"}, "https://example.com/auth", "https://example.com/token", "pop", "", false};
    std::vector<int> strays;
    int own = -1;
    const auto browser = [&](const std::string& url) {
        const std::string redirect = QueryValue(url, "redirect_uri");
        for (const std::string& request : GetParam().strays) {
            strays.push_back(ConnectTo(redirect));
            // As much as the system takes at once: the listener reads it later.
            for (std::size_t sent = 0; sent < request.size();) {
                const ssize_t n = ::send(strays.back(), request.data() + sent, request.size() - sent,
                                         MSG_NOSIGNAL | MSG_DONTWAIT);
                if (n <= 0) break;
                sent += static_cast<std::size_t>(n);
            }
        }
        own = ConnectTo(redirect);
        const std::string request =
            "GET /?state=" + QueryValue(url, "state") + "&error=access_denied HTTP/1.1\r\n\r\n";
        ::send(own, request.data(), request.size(), MSG_NOSIGNAL);
        return true;
    };
    const auto start = std::chrono::steady_clock::now();
    const auto e = ExpectThrown<EOAuthFailed>([&] { Authorize({endpoint, "client"}, "", browser, 5000); });
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message(), "L'autorisation a été refusée dans le navigateur (access_denied).");
    EXPECT_EQ(Received(own).rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    for (int fd : strays) {
        const std::string answer = Received(fd);
        if (GetParam().answered) {
            EXPECT_EQ(answer.rfind("HTTP/1.1 400 ", 0), 0u) << answer;
        }
    }
}
INSTANTIATE_TEST_SUITE_P(Table, StrayRequests, testing::ValuesIn(kStrays),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
