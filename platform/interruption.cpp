#include "platform/interruption.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/text.h"

namespace {

std::atomic<int> gSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "read and written from a signal handler");

// Made before main, so the handler never has to create it. Never drained
// while a request stands: every later wait sees it readable at once.
int gWake[2] = {-1, -1};
[[maybe_unused]] const bool kWakeMade = pipe2(gWake, O_CLOEXEC | O_NONBLOCK) == 0;

void Drain() noexcept {
    char bytes[64];
    while (gWake[0] >= 0 && read(gWake[0], bytes, sizeof bytes) > 0) {
    }
}

extern "C" void OnSignal(int signal) {
    if (Interruption::Requested()) {
        // Asked twice: the user means it now, whatever is blocking.
        ::signal(signal, SIG_DFL);
        raise(signal);
        return;
    }
    Interruption::Request(signal);
}

std::string SignalName(int signal) {
    switch (signal) {
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
        case SIGHUP:
            return "SIGHUP";
        default:
            return IntToStr(signal);
    }
}

}  // namespace

EIdInterrupted::EIdInterrupted(int signal)
    : EIdException(signal == Interruption::kStopCommand
                       ? std::string("Action arrêtée.")
                       : std::string("Action interrompue par le signal ") + SignalName(signal) + "."),
      signal_(signal) {}

void Interruption::Request(int signal) noexcept {
    int none = 0;
    if (!gSignal.compare_exchange_strong(none, signal)) return;
    const int saved = errno;
    if (gWake[1] >= 0) {
        [[maybe_unused]] ssize_t n = write(gWake[1], "!", 1);
    }
    errno = saved;
}

int Interruption::Signal() noexcept { return gSignal.load(); }

int Interruption::WakeDescriptor() noexcept { return gWake[0]; }

void Interruption::ThrowIfRequested() {
    if (int signal = Signal()) throw EIdInterrupted(signal);
}

void Interruption::Clear() noexcept {
    Drain();
    gSignal.store(0);
}

void Interruption::InstallHandlers() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

int Interruption::ExitStatus() noexcept {
    const int signal = Signal();
    return signal > 0 ? 128 + signal : 0;
}
