// The preview's memory on huge texts: a message whose text runs far past
// what a preview keeps (96 MB of 76-character lines; one quoted-printable
// line of 64 MB) streamed from a loopback peer that makes it as it sends.
// Reports MB/s of message and how far the process's peak memory rose above
// what it was before the reception; the kept text is bounded (32 MB), so the
// rise must stay far below the message's size.
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "message/message.h"
#include "message/message_part.h"
#include "mime/message_client.h"
#include "support/loopback.h"
#include "support/process_memory.h"

namespace {

constexpr std::size_t kMB = 1u << 20;

// Sends `header`, then `block` until `bodyBytes` are out, then the end line.
void Serve(int listener, const std::string& header, const std::string& block, std::size_t bodyBytes) {
    const int fd = accept(listener, nullptr, nullptr);
    if (fd < 0) return;
    auto sendAll = [fd](const std::string& bytes) {
        for (std::size_t at = 0; at < bytes.size();) {
            ssize_t n = send(fd, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL);
            if (n <= 0) return false;
            at += static_cast<std::size_t>(n);
        }
        return true;
    };
    bool ok = sendAll(header);
    for (std::size_t sent = 0; ok && sent < bodyBytes; sent += block.size()) ok = sendAll(block);
    if (ok) sendAll(".\r\n");
    close(fd);
}

void Receive(benchmark::State& state, const std::string& header, const std::string& block,
             std::size_t bodyBytes) {
    long growthKb = 0;
    std::size_t kept = 0;
    for (auto _ : state) {
        LoopbackListener listener;
        std::thread server(Serve, listener.Fd(), header, block, bodyBytes);
        {
            TIdMessageClient client;
            client.Host = "127.0.0.1";
            client.Port = listener.Port();
            client.OpenConnection();
            TIdMessage message;
            ResetPeakResident();
            const long before = ResidentKb();
            client.ReadHeaderBlock(message, "");
            client.ReadMessageBody(message, ".");
            growthKb = std::max(growthKb, PeakResidentKb() - before);
            kept = message.Body.Text().size();
            for (int i = 0; i < message.Parts.Count(); ++i)
                if (const auto* text = dynamic_cast<const TIdText*>(&message.Parts[i]))
                    kept += text->Body.Text().size();
            client.CloseConnection();
        }
        server.join();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bodyBytes));
    state.counters["peak_rss_growth_MB"] = static_cast<double>(growthKb) / 1024.0;
    state.counters["message_MB"] = static_cast<double>(bodyBytes) / kMB;
    state.counters["text_kept_MB"] = static_cast<double>(kept) / kMB;
    if (kSanitized) state.SkipWithError("resident sizes mean nothing under the address sanitizer");
}

void BM_PreviewPlainText96MB(benchmark::State& state) {
    std::string block;
    while (block.size() < 64 * 1024) block += std::string(76, 'x') + "\r\n";
    Receive(state, "Subject: gros\r\n\r\n", block, 96 * kMB);
}

void BM_PreviewOneQuotedPrintableLine64MB(benchmark::State& state) {
    std::string block;
    while (block.size() < 64 * 1024) block += std::string(75, 'q') + "=\r\n";
    Receive(state,
            "Subject: gros\r\nMIME-Version: 1.0\r\nContent-Type: text/plain\r\n"
            "Content-Transfer-Encoding: quoted-printable\r\n\r\n",
            block, 64 * kMB);
}

BENCHMARK(BM_PreviewPlainText96MB)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_PreviewOneQuotedPrintableLine64MB)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
