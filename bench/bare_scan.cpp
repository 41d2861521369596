// The screener's scan of 999 headers against a bare pipelined POP3 client
// in plain C++ that decodes nothing: log-in, STAT, every TOP n 0 sent ahead,
// the answers only counted, QUIT. Like any client that sends ahead, it
// first asks CAPA (whether the server pipelines), and nothing goes out after
// PASS before its answer; USER and PASS each wait for their answer, as the
// screener's do.
// Both on loopback and through a relay that holds every byte 10 ms each way;
// the ratio of the two is the scan's overhead over the exchange itself.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/main_window.h"
#include "bench_mailbox.h"
#include "support/delay_proxy.h"
#include "support/fake_window.h"
#include "support/private_dovecot.h"
#include "support/scratch_folder.h"

namespace {
constexpr int kMessages = 999;

class BareClient {
public:
    explicit BareClient(int port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            throw std::runtime_error("connect");
        const int one = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }
    ~BareClient() { ::close(fd_); }

    void Send(const std::string& text) {
        for (std::size_t sent = 0; sent < text.size();) {
            const ssize_t n = ::send(fd_, text.data() + sent, text.size() - sent, 0);
            if (n <= 0) throw std::runtime_error("send");
            sent += static_cast<std::size_t>(n);
        }
    }
    std::string Line() {
        for (;;) {
            const std::size_t lf = buffer_.find('\n', from_);
            if (lf != std::string::npos) {
                std::string line = buffer_.substr(from_, lf + 1 - from_);
                from_ = lf + 1;
                return line;
            }
            buffer_.erase(0, from_);
            from_ = 0;
            char chunk[65536];
            const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
            if (n <= 0) throw std::runtime_error("recv");
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
    }
    std::string Reply() {
        std::string line = Line();
        if (line.rfind("+OK", 0) != 0) throw std::runtime_error("refused: " + line);
        return line;
    }

private:
    int fd_ = -1;
    std::string buffer_;
    std::size_t from_ = 0;
};

int BareScan(int port, const PrivateDovecot& dovecot) {
    BareClient client(port);
    client.Reply();
    client.Send("CAPA\r\n");
    client.Reply();
    while (client.Line() != ".\r\n") {
    }
    client.Send("USER " + dovecot.user + "\r\n");
    client.Reply();
    client.Send("PASS " + dovecot.password + "\r\n");
    client.Reply();
    client.Send("STAT\r\n");
    const int count = std::stoi(client.Reply().substr(4));
    std::string commands;
    for (int n = 1; n <= count; ++n) commands += "TOP " + std::to_string(n) + " 0\r\n";
    client.Send(commands);
    int headers = 0;
    for (int n = 1; n <= count; ++n) {
        client.Reply();
        while (client.Line() != ".\r\n") {
        }
        ++headers;
    }
    client.Send("QUIT\r\n");
    client.Reply();
    return headers;
}

// Argument: the delay each way in ms (0: straight to the server).
void BM_BareClient(benchmark::State& state) {
    const PrivateDovecot& dovecot = bench::Mailbox::With(kMessages);
    std::optional<DelayProxy> link;
    if (state.range(0) > 0) link.emplace(dovecot.port, std::chrono::milliseconds(state.range(0)));
    for (auto _ : state)
        if (BareScan(link ? link->Port() : dovecot.port, dovecot) != kMessages)
            state.SkipWithError("headers missing");
}
BENCHMARK(BM_BareClient)->ArgName("delay_ms")->Arg(0)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();

// The screener's whole scan into a window, rows, lists and all.
void BM_ScreenerScan(benchmark::State& state) {
    const PrivateDovecot& dovecot = bench::Mailbox::With(kMessages);
    std::optional<DelayProxy> link;
    if (state.range(0) > 0) link.emplace(dovecot.port, std::chrono::milliseconds(state.range(0)));
    ScratchFolder dir;
    auto window = std::make_unique<FakeWindow>();
    auto screener = std::make_unique<Screener>(AppPaths::ForExecutable(dir / "vannoir"), window->View());
    screener->FormCreate();
    screener->SetAccount(
        {"127.0.0.1", link ? link->Port() : dovecot.port, dovecot.user, dovecot.password, true});
    for (auto _ : state) {
        // Every header, as a first look reads them.
        screener->Scan(ScanReading::Whole);
        if (!window->dialogs.shown.empty()) state.SkipWithError("the scan failed");
    }
}
BENCHMARK(BM_ScreenerScan)
    ->ArgName("delay_ms")
    ->Arg(0)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
