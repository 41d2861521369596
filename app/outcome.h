#pragma once
// What a user action came to, for callers that go on from it (the command
// line's exit status, a test): done, refused with the reason the user was
// shown, or failed with the box text and the error behind it. The user has
// already been told; an outcome is never shown again.
#include <exception>
#include <functional>
#include <string>

#include "platform/id_exception.h"

class Dialogs;

struct Outcome {
    enum class Kind { Done, Refused, Failed };
    // Where a refusal or failure comes from, so that a caller can tell a
    // server's "no" from a network fault or a local file. A done action
    // carries LocalFile when a file it keeps on the side (the journal) was
    // not written.
    enum class Fault {
        None,
        Server,     // the server refused or sent what cannot be used
        Account,    // the account cannot be used as it is (not configured)
        Network,    // name, connection, time limit, TLS
        Busy,       // another action on the same mailbox runs
        Changed,    // the mailbox is not what the last scan saw
        LocalFile,  // settings, lists, journal, record, temporary files
        Stopped,    // the user stopped it (nothing deleted)
        Other,
    };
    Kind kind = Kind::Done;
    std::string shown;       // the box text; empty when nothing was shown
    std::string underlying;  // a failure's own error message, trimmed
    Fault fault = Fault::None;

    static Outcome Done() { return {}; }
    static Outcome Refused(std::string shown, Fault fault = Fault::Other) {
        return {Kind::Refused, std::move(shown), {}, fault};
    }
    static Outcome Failed(std::string shown, std::string underlying, Fault fault = Fault::Other) {
        return {Kind::Failed, std::move(shown), std::move(underlying), fault};
    }
    bool IsDone() const { return kind == Kind::Done; }
    bool IsRefused() const { return kind == Kind::Refused; }
    bool IsFailed() const { return kind == Kind::Failed; }
};

// The fault an error stands for: the kind its class declares; a file system
// error is local, any other error not ours Other.
Outcome::Fault FaultOf(ErrorKind kind);
Outcome::Fault FaultOf(const std::exception& error);
Outcome::Fault FaultOf(const std::exception_ptr& error);

// What a person reads as the cause of a failed session, as the error's
// class declares it: "Mot de passe refusé par le serveur", "Serveur injoignable",
// "Certificat refusé"...; empty for an error whose own message says it best.
std::string CauseOf(const std::exception& error);

// The standard error box's text for an error message: the message with a
// final "." added when it has none.
std::string StandardErrorText(const std::string& message);

// Runs a non-mailbox action. An error it raises is shown once in the
// standard error box and becomes a failed outcome; nothing escapes.
Outcome RunShowingErrors(Dialogs& dialogs, const std::function<void()>& action);
