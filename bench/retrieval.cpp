// Whole-message retrieval from the private Dovecot of the integration tests,
// in clear and over TLS:
// RETR of a message with a 50 MB base64 attachment (and a quoted-printable
// text part), and of a message of 20 MB of quoted-printable text. Reports
// MB/s of message size, and how far the process's peak memory rose above
// what it was just before the retrieval. The attachment must not rise more
// than 16 MB: it goes to its file line by line.
//
// Needs VANNOIR_DOVECOT_DIR, as the integration tests have it
// (scripts/dovecot start <dir>).
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "message/message.h"
#include "message/message_part.h"
#include "platform/text.h"
#include "pop3/pop3.h"
#include "support/expected_message.h"
#include "support/generated_message.h"
#include "support/private_dovecot.h"
#include "support/process_memory.h"

namespace {

constexpr std::size_t kAttachmentBytes = 50u << 20;
constexpr std::size_t kTextBytes = 20u << 20;
constexpr long kAllowedGrowthKb = 16 * 1024;

void Retrieve(benchmark::State& state, bool attachment, bool tls) {
    auto dovecot = PrivateDovecot::FromEnvironment();
    if (!dovecot) {
        state.SkipWithError("VANNOIR_DOVECOT_DIR names no running private Dovecot");
        return;
    }
    dovecot->ClearMailbox();
    std::size_t size = 0;
    {
        std::ostringstream generated;
        if (attachment)
            WriteAttachmentMessage(generated, kAttachmentBytes);
        else
            WriteQuotedPrintableMessage(generated, kTextBytes);
        size = generated.view().size();
        dovecot->AddMessage(generated.view());
    }
    long growthKb = 0;
    for (auto _ : state) {
        TIdPOP3 client;
        dovecot->ConfigureClient(client);
        if (tls) {
            client.TLS.Mode = tlsImplicit;
            client.TLS.TrustFile = dovecot->caFile;
            client.Port = dovecot->tlsPort;
        }
        client.OpenSession();
        TIdMessage message;
        ResetPeakResident();
        const long before = ResidentKb();
        client.LoadMessage(1, message);
        growthKb = std::max(growthKb, PeakResidentKb() - before);
        client.CloseSession();
        RemoveAttachmentFiles(message);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["peak_rss_growth_MB"] = static_cast<double>(growthKb) / 1024.0;
    state.counters["message_MB"] = static_cast<double>(size) / (1 << 20);
    dovecot->ClearMailbox();
    if (attachment && growthKb > kAllowedGrowthKb) state.SkipWithError("peak memory rose more than 16 MB");
}

void BM_RetrieveBase64Attachment50MB(benchmark::State& state) { Retrieve(state, true, false); }
void BM_RetrieveQuotedPrintableText20MB(benchmark::State& state) { Retrieve(state, false, false); }
void BM_RetrieveBase64Attachment50MBOverTLS(benchmark::State& state) { Retrieve(state, true, true); }

BENCHMARK(BM_RetrieveBase64Attachment50MB)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_RetrieveBase64Attachment50MBOverTLS)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_RetrieveQuotedPrintableText20MB)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
