// Whole-message retrieval from the private Dovecot of the integration tests:
// RETR of a message with a 50 MB base64 attachment (and a quoted-printable
// text part), and of a message of 20 MB of quoted-printable text. Reports
// MB/s of message size, and how far the process's peak memory rose above
// what it was just before the retrieval. The attachment must not rise more
// than 16 MB: it goes to its file line by line.
//
// Needs VANNOIR_DOVECOT_DIR, as the integration tests have it
// (scripts/dovecot start <dir>).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "message/message.h"
#include "mime/message_part.h"
#include "platform/text.h"
#include "pop3/pop3.h"
#include "support/dovecot_mailbox.h"
#include "support/generated_message.h"

namespace {

constexpr std::size_t kAttachmentBytes = 50u << 20;
constexpr std::size_t kTextBytes = 20u << 20;
constexpr long kAllowedGrowthKb = 16 * 1024;

// VmRSS or VmHWM of this process, in kB.
long StatusKb(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == key + ":") {
            long kb = 0;
            status >> kb;
            return kb;
        }
    return 0;
}

// Restarts the peak from the current resident size.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

void RemoveAttachmentFiles(const TIdMessage& message) {
    for (int i = 0; i < message.Parts.Count(); ++i)
        if (const auto* a = dynamic_cast<const TIdAttachment*>(&message.Parts.Items(i)))
            std::filesystem::remove(AnsiToUtf8(a->StoredPathName));
}

void Retrieve(benchmark::State& state, bool attachment) {
    DovecotMailbox mailbox;
    {
        std::ofstream out = mailbox.NewMessageFile();
        if (attachment) WriteAttachmentMessage(out, kAttachmentBytes);
        else WriteQuotedPrintableMessage(out, kTextBytes);
    }
    const std::uintmax_t size = mailbox.DeliverNewMessageFile();
    long growthKb = 0;
    for (auto _ : state) {
        TIdPOP3 client;
        mailbox.Configure(client);
        client.OpenSession();
        TIdMessage message;
        ResetPeak();
        const long before = StatusKb("VmRSS");
        client.LoadMessage(1, message);
        growthKb = std::max(growthKb, StatusKb("VmHWM") - before);
        client.CloseSession();
        RemoveAttachmentFiles(message);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["peak_rss_growth_MB"] = static_cast<double>(growthKb) / 1024.0;
    state.counters["message_MB"] = static_cast<double>(size) / (1 << 20);
    if (attachment && growthKb > kAllowedGrowthKb) state.SkipWithError("peak memory rose more than 16 MB");
}

void BM_RetrieveBase64Attachment50MB(benchmark::State& state) { Retrieve(state, true); }
void BM_RetrieveQuotedPrintableText20MB(benchmark::State& state) { Retrieve(state, false); }

BENCHMARK(BM_RetrieveBase64Attachment50MB)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RetrieveQuotedPrintableText20MB)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
