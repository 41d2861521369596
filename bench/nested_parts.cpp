// Reception of a hostile message whose MIME parts nest 80,000 levels deep:
// every part is multipart with a boundary of its own. The boundary stack
// keeps 100 levels, so the time per MB must stay that of a flat message.
#include <benchmark/benchmark.h>

#include <string>

#include "message/message.h"
#include "mime/message_client.h"
#include "support/fake_transport.h"

namespace {

std::string NestedMessage(int levels) {
    std::string header = "Content-Type: multipart/mixed; boundary=\"b0\"\r\n\r\n";
    std::string body;
    for (int level = 0; level < levels; ++level) {
        body += "--b" + std::to_string(level) + "\r\n";
        body += "Content-Type: multipart/mixed; boundary=\"b" + std::to_string(level + 1) + "\"\r\n\r\n";
    }
    return header + body + "--b" + std::to_string(levels) +
           "\r\nContent-Type: text/plain\r\n\r\nfin\r\n.\r\n";
}

void BM_ReceiveNestedParts(benchmark::State& state) {
    const std::string bytes = NestedMessage(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TIdMessageClient client;
        InstallFakeTransport(client, bytes);
        TIdMessage message;
        client.ReadHeaderBlock(message, "");
        client.ReadMessageBody(message, ".");
        benchmark::DoNotOptimize(message.Parts.Count());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.counters["message_MB"] = static_cast<double>(bytes.size()) / (1 << 20);
}

BENCHMARK(BM_ReceiveNestedParts)->Arg(80000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
