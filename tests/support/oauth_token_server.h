#pragma once
// A small OAuth2 provider for the tests, plain HTTP on 127.0.0.1: the
// authorization endpoint (GET /authorize, which answers with the redirect a
// browser follows), the token endpoint (POST /token: the code with its PKCE
// verifier, or a refresh token) and the introspection endpoint a mail server
// asks (POST /introspect, RFC 7662). Access tokens are "acc-N", refresh
// tokens "ref-N"; each refresh grant gives a new refresh token and voids the
// old one, as providers that rotate them do. It checks what a provider
// checks: the client id, S256 and the verifier against the challenge, the
// redirect address; anything else is answered 400 and counted.
#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "support/recording_printer.h"

class OAuthTokenServer {
public:
    // Listens on `port` (0: one the system picks) for user `user`.
    OAuthTokenServer(std::string clientId, std::string user, int port = 0);
    ~OAuthTokenServer();

    int Port() const { return port_; }
    std::string Url(const std::string& path) const;

    // Lifetime of the access tokens issued from now on, in seconds.
    void SetLifetime(int seconds);
    // Every access token issued so far stops being active (a provider that
    // revoked them before their time).
    void DeactivateAccessTokens();
    // Every refresh token issued so far is refused from now on.
    void RevokeRefreshTokens();
    // A refresh token for `user`, as an earlier authorization left it.
    std::string IssueRefreshToken();

    int CodeGrants() const { return codeGrants_; }
    int RefreshGrants() const { return refreshGrants_; }
    int Refusals() const { return refusals_; }
    int ActiveIntrospections() const { return activeIntrospections_; }
    // Tokens the mail server asked about and was told are not active.
    int InactiveIntrospections() const { return inactiveIntrospections_; }

private:
    void Serve();
    void Answer(int fd);
    std::string Route(const std::string& method, const std::string& target, const std::string& body);
    std::string Tokens();

    std::string clientId_, user_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    int lifetime_ = 3600;
    int next_ = 0;
    std::map<std::string, std::pair<std::string, std::string>> codes_;  // code -> challenge, redirect
    std::map<std::string, long long> access_;                           // token -> expiry (steady seconds)
    std::set<std::string> refresh_;
    std::atomic<int> codeGrants_{0}, refreshGrants_{0}, refusals_{0}, activeIntrospections_{0},
        inactiveIntrospections_{0};
    std::thread thread_;
};

// The user's browser behind the desktop's opener: it records each address
// it is asked to open, as RecordingShell does, and for an http address
// fetches it from the token server and follows the redirect it answers to
// the program's loopback listener. The program answers that request once it
// waits for the browser, after Open has returned: Page reads the answer then.
// Throws std::runtime_error when the token server is not there.
class BrowserShell : public RecordingShell {
public:
    BrowserShell() = default;
    ~BrowserShell() override;
    BrowserShell(const BrowserShell&) = delete;
    BrowserShell& operator=(const BrowserShell&) = delete;

    bool Open(const std::filesystem::path& document) override;
    // The body of the listener's page; empty when no redirect was followed.
    std::string Page();

private:
    int pending_ = -1;  // the request to the listener, its answer unread
};
