#pragma once
// The private Dovecot that scripts/dovecot starts for the integration tests
// (the folder is in VANNOIR_DOVECOT_DIR): where it listens, its one user, and
// its maildir, into which tests put messages directly.
//
//   auto dovecot = PrivateDovecot::FromEnvironment();
//   if (!dovecot) GTEST_SKIP() << "no private Dovecot";
//   dovecot->ClearMailbox();
//   dovecot->AddMessage("From: a@b.fr\nSubject: x\n\nbody\n");
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TIdPOP3;

struct PrivateDovecot {
    std::string dir;
    int port = 0;
    std::string user;
    std::string password;
    std::string maildir;
    int tlsPort = 0;     // POP3 over TLS; the plain port offers STLS
    std::string caFile;  // the authority that signed the server's certificate
    bool ipv6 = false;   // both ports also listen on ::1

    // Read from the files scripts/dovecot writes into `folder`; nothing when
    // they are missing.
    static std::optional<PrivateDovecot> FromFolder(const std::string& folder);
    // From the folder named by VANNOIR_DOVECOT_DIR.
    static std::optional<PrivateDovecot> FromEnvironment();
    // Starts one with scripts/dovecot in `folder` (for programs outside the
    // test fixture, such as benchmarks). Throws std::runtime_error.
    static PrivateDovecot Start(const std::string& folder);
    // Stops the one in `dir`.
    void Stop() const;

    // Delivers one message (bytes as given) the maildir way: written under
    // tmp/, then renamed into new/. Messages are numbered in delivery order.
    void AddMessage(std::string_view bytes) const;
    // Points `client` at this server and its user.
    void ConfigureClient(TIdPOP3& client) const;
    // Adds users (user name, password bytes) to the server's passwd file and
    // makes sure the server reads it again; their mail homes are made on
    // first log-in. A password may hold any byte but ":", CR, LF and NUL.
    void AddUsers(const std::vector<std::pair<std::string, std::string>>& users) const;
    // Removes every message, delivered or already seen by the server.
    void ClearMailbox() const;
};
