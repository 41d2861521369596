// Where the token client sends a form: https anywhere, plain http only on
// the loopback, and never to an address that hides its host; and how the
// answer's body is read.
#include "net/http_post.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "net/net_errors.h"
#include "support/expect_error.h"
#include "support/loopback.h"

namespace {

struct AddressCase {
    const char* name;
    const char* url;
    bool accepted;  // PostForm may connect
    // The parts; port 0 for an address that does not parse.
    const char* host;
    int port;  // -1: the answering server's
    const char* target;
    // What a loopback server answers the post (its port replaces "{port}" in
    // the address), and the body read from that answer.
    const char* answer = nullptr;
    const char* body = nullptr;
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
    {"chunked_answer_with_extension_and_trailer", "http://127.0.0.1:{port}/token", true, "127.0.0.1", -1,
     "/token",
     "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
     "A;ext=1\r\n{\"token\":\"\r\n3\r\nx\"}\r\n0\r\nX-Suite: 1\r\n\r\n",
     "{\"token\":\"x\"}"},
};

// Answers one connection with `answer` once its request has come; with a
// pause, one byte after each, until the client leaves.
class OneAnswer {
public:
    explicit OneAnswer(std::string answer, int pauseMs = 0)
        : thread_([this, answer = std::move(answer), pauseMs] {
              pollfd p{listener_.Fd(), POLLIN, 0};
              if (::poll(&p, 1, 5000) <= 0) return;
              const int fd = ::accept(listener_.Fd(), nullptr, nullptr);
              std::string request;
              char chunk[4096];
              while (!request.ends_with("\r\n\r\na=b")) {
                  pollfd r{fd, POLLIN, 0};
                  const ssize_t n = ::poll(&r, 1, 5000) > 0 ? ::recv(fd, chunk, sizeof chunk, 0) : 0;
                  if (n <= 0) break;
                  request.append(chunk, static_cast<std::size_t>(n));
              }
              if (pauseMs == 0) ::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
              for (std::size_t i = 0; pauseMs > 0 && i < answer.size(); ++i) {
                  if (::send(fd, &answer[i], 1, MSG_NOSIGNAL) != 1) break;
                  std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
              }
              ::close(fd);
          }) {}
    ~OneAnswer() { thread_.join(); }
    int Port() const { return listener_.Port(); }

private:
    LoopbackListener listener_;
    std::thread thread_;
};

class HttpAddressTable : public testing::TestWithParam<AddressCase> {};

TEST_P(HttpAddressTable, ParsesAndRefusesCleartextOffTheLoopback) {
    const AddressCase& c = GetParam();
    std::optional<OneAnswer> server;
    std::string url = c.url;
    if (c.answer) {
        server.emplace(c.answer);
        url.replace(url.find("{port}"), 6, std::to_string(server->Port()));
    }
    const std::optional<HttpAddress> address = ParseHttpAddress(url);
    if (c.port != 0) {
        ASSERT_TRUE(address.has_value());
        EXPECT_EQ(address->host, c.host);
        EXPECT_EQ(address->port, c.port == -1 ? server->Port() : c.port);
        EXPECT_EQ(address->target, c.target);
    } else {
        EXPECT_FALSE(address.has_value());
    }
    // Refused before any connection is tried.
    if (!c.accepted) ExpectThrown<EHttpAddressRefused>([&] { PostForm(url, "a=b", 2000); });
    if (c.answer) {
        const HttpAnswer answer = PostForm(url, "a=b", 5000);
        EXPECT_EQ(answer.status, 200);
        EXPECT_EQ(answer.body, c.body);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, HttpAddressTable, testing::ValuesIn(kAddresses),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HttpPost, AFormGoesOutEncodedAndTheAnswerComesBackWhole) {
    EXPECT_EQ(FormBody({{"grant_type", "refresh_token"}, {"refresh_token", "a b+c/é~"}}),
              "grant_type=refresh_token&refresh_token=a%20b%2Bc%2F%C3%A9~");
    EXPECT_THROW(PostForm("http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/t", "a=b", 2000),
                 EIdException);
}

// Every byte comes within the read limit, the answer never ends: the
// exchange still ends at its limit.
TEST(HttpPost, AnAnswerTrickledByteByByteEndsAtTheLimit) {
    OneAnswer server("HTTP/1.1 200 OK\r\nX-Pad: " + std::string(100, 'x'), 200);
    const auto start = std::chrono::steady_clock::now();
    ExpectThrown<EIdReadTimeout>(
        [&] { PostForm("http://127.0.0.1:" + std::to_string(server.Port()) + "/t", "a=b", 1000); });
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000));
}

}  // namespace
