#pragma once
// A private Courier POP3 server that scripts/courier starts in a folder for
// the time of one test, stopped when the object goes. It writes the same
// files as scripts/dovecot (port, user, password, maildir), so the mailbox
// is reached through PrivateDovecot's helpers.
//
//   PrivateCourier courier(dir / "courier");
//   if (!courier.Running()) GTEST_SKIP() << courier.Unavailable();
//   courier.Server().AddMessage("From: a@b.fr\nSubject: x\n\nbody\n");
#include <filesystem>
#include <string>

#include "support/private_dovecot.h"

class PrivateCourier {
public:
    // Throws std::runtime_error when the script fails for another reason
    // than Courier not being able to run on this machine.
    explicit PrivateCourier(const std::filesystem::path& folder);
    ~PrivateCourier();
    PrivateCourier(const PrivateCourier&) = delete;
    PrivateCourier& operator=(const PrivateCourier&) = delete;

    bool Running() const { return unavailable_.empty(); }
    // Why Courier cannot run here (what the script said); empty when running.
    const std::string& Unavailable() const { return unavailable_; }
    const PrivateDovecot& Server() const { return server_; }

private:
    std::filesystem::path folder_;
    std::string unavailable_;
    PrivateDovecot server_;
};
