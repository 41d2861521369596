#pragma once
// The spam engines that run as daemons the user already has: SpamAssassin's
// spamd (its own SPAMC protocol) and rspamd (HTTP, learning through its
// controller). Each asks the daemon one message at a time over one
// connection at a time; every exchange and a whole scan are bounded in time,
// every answer in size. Whatever goes wrong (nothing listening, a daemon too
// slow, an answer that is not the protocol's, a refusal) throws
// ESpamEngineError with a sentence that names the daemon and what happened.
#include <memory>

#include "app/spam_engine.h"

struct SpamDaemonLimits {
    // One exchange: connection, request and whole answer.
    int exchangeMs = 10000;
    // A whole scan: this much, plus perMessageMs for each message.
    int scanMs = 30000;
    int perMessageMs = 1000;
};

// Port 783 unless settings.port says otherwise; settings.user goes in each
// request's User field.
std::unique_ptr<SpamEngine> MakeSpamdEngine(const SpamSettings& settings, SpamDaemonLimits limits = {});
// Verdicts from the normal worker on settings.port (11333 unless set),
// learning through the controller on the next port (11334 by default) with
// settings.password.
std::unique_ptr<SpamEngine> MakeRspamdEngine(const SpamSettings& settings, SpamDaemonLimits limits = {});
