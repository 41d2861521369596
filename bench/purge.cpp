// The purge of 500 intruders of about 10 KB against the private Dovecot:
// DELE only, or each message first copied into a Corbeille (RETR, written,
// then DELE, the copies flushed once before QUIT), on loopback and through a relay that holds every
// byte 10 ms each way. The session around it (log-in, CAPA, STAT, QUIT)
// is timed too, as the user waits for it. Also the scan's CAPA and four
// STATs followed by the 999 headers, through the same relay.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/corbeille.h"
#include "bench_mailbox.h"
#include "message/message.h"
#include "pop3/pop3.h"
#include "support/delay_proxy.h"
#include "support/private_dovecot.h"

namespace {
constexpr int kIntruders = 500;

void FillMailbox(const PrivateDovecot& dovecot) {
    dovecot.ClearMailbox();
    std::string body;
    while (body.size() < 10000)
        body += "Ligne de texte du message indésirable, assez longue pour compter.\r\n";
    for (int i = 1; i <= kIntruders; ++i) dovecot.AddMessage(bench::Header(i) + "\r\n" + body);
    // On disk, as a server's mail is: else the first flush of the copies
    // would write the server's new files too, and only that purge would
    // find its deletions on disk.
    ::sync();
}

// Each timed purge fills a Corbeille of its own under the build tree, and
// all stay until the program ends, as a user's copies stay for days: files
// removed just before a purge would have it pay for the file system's
// reuse of their places, which no user's purge does.
class CorbeilleFolders {
public:
    CorbeilleFolders() : root_(std::filesystem::path(VANNOIR_BENCH_RUNTIME_DIR) / "purge-corbeilles") {
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        // Its folders spread over the disk as a home folder's do, away from
        // the files the local server creates and deletes at each purge.
        const int fd = ::open(root_.c_str(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_TOPDIR_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        if (fd >= 0) ::close(fd);
    }
    ~CorbeilleFolders() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    CorbeilleFolders(const CorbeilleFolders&) = delete;
    CorbeilleFolders& operator=(const CorbeilleFolders&) = delete;
    std::filesystem::path Next() { return root_ / ("Corbeille" + std::to_string(++count_)); }

private:
    std::filesystem::path root_;
    int count_ = 0;
};

// Arguments: Corbeille (1) or not (0), the delay each way in ms.
void BM_Purge(benchmark::State& state) {
    const PrivateDovecot& dovecot = bench::Mailbox::With(0);
    const bool keep = state.range(0) == 1;
    const auto delay = std::chrono::milliseconds(state.range(1));
    std::optional<DelayProxy> link;
    if (delay.count() > 0) link.emplace(dovecot.port, delay);
    std::vector<int> numbers;
    for (int n = kIntruders; n >= 1; --n) numbers.push_back(n);
    static CorbeilleFolders folders;
    std::chrono::duration<double, std::milli> flush{0}, files{0}, quit{0};
    for (auto _ : state) {
        state.PauseTiming();
        FillMailbox(dovecot);
        Corbeille corbeille(folders.Next(), {});
        TIdPOP3 pop;
        dovecot.ConfigureClient(pop);
        if (link) pop.Port = link->Port();
        state.ResumeTiming();
        pop.OpenSession();
        pop.Capabilities();
        if (pop.CountMessages() != kIntruders) state.SkipWithError("unexpected message count");
        std::vector<int> marked;
        if (keep) {
            std::unique_ptr<CorbeilleCopy> copy;
            std::vector<CorbeilleEntry> unsynced;
            TIdPOP3::CopyEvents events;
            events.start = [&](int) {
                const auto from = std::chrono::steady_clock::now();
                CorbeilleEntry entry;
                entry.deletedAt = std::time(nullptr);
                copy = corbeille.Begin(entry);
                files += std::chrono::steady_clock::now() - from;
            };
            events.bytes = [&](std::string_view bytes) { copy->Append(bytes); };
            events.done = [&](int, bool retrieved) {
                if (!retrieved) return false;
                const auto from = std::chrono::steady_clock::now();
                unsynced.push_back(copy->Keep());
                copy.reset();
                files += std::chrono::steady_clock::now() - from;
                return true;
            };
            events.sync = [&] {
                const auto from = std::chrono::steady_clock::now();
                corbeille.Sync(unsynced);
                flush += std::chrono::steady_clock::now() - from;
                unsynced.clear();
                return true;
            };
            pop.CopyAndDeleteMessages(numbers, events, &marked);
        } else {
            std::size_t count = 0;
            pop.DeleteMessages(numbers, &count);
            marked.resize(count);
        }
        const auto quitFrom = std::chrono::steady_clock::now();
        pop.CloseSession();
        quit += std::chrono::steady_clock::now() - quitFrom;
        if (marked.size() != static_cast<std::size_t>(kIntruders)) state.SkipWithError("not all deleted");
        state.PauseTiming();
        if (keep && corbeille.List().size() != static_cast<std::size_t>(kIntruders))
            state.SkipWithError("copies missing");
        state.ResumeTiming();
    }
    // Per purge: the copies' files made and closed, and the one flush before QUIT.
    state.counters["quit_ms"] = quit.count() / static_cast<double>(state.iterations());
    if (keep) {
        state.counters["files_ms"] = files.count() / static_cast<double>(state.iterations());
        state.counters["flush_ms"] = flush.count() / static_cast<double>(state.iterations());
    }
}
BENCHMARK(BM_Purge)
    ->ArgNames({"corbeille", "delay_ms"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 10})
    ->Args({1, 10})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// The scan's exchange through the relay, as the screener makes it.
void BM_ScanThroughLink(benchmark::State& state) {
    const PrivateDovecot& dovecot = bench::Mailbox::With(999);
    DelayProxy link(dovecot.port, std::chrono::milliseconds(10));
    TIdPOP3 pop;
    dovecot.ConfigureClient(pop);
    pop.Port = link.Port();
    TIdMessage message;
    pop.LogInAhead = true;
    pop.CountsWithLogIn = 4;
    TIdPOP3::ScanEvents events{[](int, TIdMessage&) {}, [](int, int size) { benchmark::DoNotOptimize(size); },
                               [](std::vector<std::string>&& ids) { benchmark::DoNotOptimize(ids.size()); }};
    for (auto _ : state) {
        pop.OpenSession();
        pop.CapabilitiesAfterLogIn();
        pop.ScanHeaders(pop.CountMessagesTimes(4).back(), message, events);
        pop.CloseSession();
    }
}
BENCHMARK(BM_ScanThroughLink)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
