#pragma once
// A request to stop the running action, made by a signal (SIGINT, SIGTERM,
// SIGHUP). The signal handler only records it and wakes the waits: every
// network wait also watches WakeDescriptor() and raises EIdInterrupted, so
// the action unwinds like any failure (temporary files removed, the session
// dropped without QUIT) and the program turns the signal into its exit status.
#include "platform/id_exception.h"

// The action was stopped by a signal, or by the user's stop command
// (Signal() is then Interruption::kStopCommand).
class EIdInterrupted : public EIdException {
public:
    explicit EIdInterrupted(int signal);
    int Signal() const noexcept { return signal_; }

    VANNOIR_ERROR_KIND(Server)
private:
    int signal_;
};
VANNOIR_LIST_ERROR(EIdInterrupted, 2);

class Interruption {
public:
    // Recorded in place of a signal by the window's stop command.
    static constexpr int kStopCommand = -1;
    // The user's stop command is recorded.
    static bool StopRequested() noexcept { return Signal() == kStopCommand; }
    // Async-signal-safe: records `signal` (the first one is kept) and makes
    // WakeDescriptor() readable.
    static void Request(int signal) noexcept;
    // The recorded signal, 0 when none.
    static int Signal() noexcept;
    static bool Requested() noexcept { return Signal() != 0; }
    // Readable from the request on; -1 when no pipe could be made (the
    // waits then see the request at their next slice or at EINTR).
    static int WakeDescriptor() noexcept;
    // Throws EIdInterrupted when a request is recorded.
    static void ThrowIfRequested();
    // Forgets the request (for tests).
    static void Clear() noexcept;
    // SIGINT, SIGTERM and SIGHUP request an interruption; a second one
    // while the first is pending ends the process at once, as if no handler
    // were installed. Without SA_RESTART, so a blocking call returns EINTR.
    static void InstallHandlers();
    // 128 + the signal, the status of a program a signal stopped; 0 when none
    // (the stop command included: no signal stopped it).
    static int ExitStatus() noexcept;
};
