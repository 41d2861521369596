#pragma once
// The POP3 client (RFC 1939). Every user action is one short session:
// OpenSession, some of CountMessages / LoadMessageHeader / QueryMessageSize /
// LoadMessage / DeleteMessage, then CloseSession. Each command is one line and one reply;
// a reply other than "+OK" raises EIdProtocolReplyError with the server's text
// (the reply text after "-ERR", CR LF), a reply that is neither "+OK" nor
// "-ERR" raises EIdException "En-tête de réponse POP3 non reconnu : ...".
// A lost connection raises the errors of the line input.
#include <string>
#include <vector>

#include "mime/message_client.h"

class TIdPOP3 : public TIdMessageClient {
public:
    static constexpr int ReplyOk = 1;     // "+OK"
    static constexpr int ReplyError = 2;  // "-ERR"

    TIdPOP3();  // Port 110, APOP off

    std::string Username;
    std::string Password;
    bool APOP = false;

    // Connects, reads the greeting, logs in (USER + PASS, or APOP). Throws
    // EIdPOP3UnsafeCredentials, before connecting, for a user name or password
    // holding CR, LF or NUL. A failure after the connect closes the session
    // (QUIT when the socket is still open) before the error is raised again.
    // An APOP greeting without "<...>" raises EIdException
    // "Le serveur ne supporte pas APOP (pas d'horodatage)".
    void OpenSession(int timeout = -1);
    // "QUIT" when connected and its answer awaited (at most kQuitReplyTimeout
    // ms), then the connection is closed with "Déconnexion." and "Déconnecté."
    // in every case. A failed QUIT, or "-ERR" to it (the deleted messages
    // were not removed), is raised after the close; silence or the server
    // closing first is not a failure.
    void CloseSession();
    static constexpr int kQuitReplyTimeout = 10000;
    // STAT: the number before the first blank of the reply text; 0 for an
    // empty text; EConvertError when that is not an integer,
    // EIdPOP3NegativeCount when it is negative.
    int CountMessages();
    // TOP n 0: the header lines up to "." into `message`, then parsed.
    bool LoadMessageHeader(int n, TIdMessage& message);
    // RETR n: the header, then (after a blank line) the body up to "." into
    // `message`, which the caller has cleared. True for "+OK"; false for
    // "-ERR", with nothing more read. Throws the reception errors; the
    // message keeps what was read and the session stays open.
    bool LoadMessage(int n, TIdMessage& message);
    // LIST n: the size after the first blank of the reply text; -1 when the
    // text is empty or that is not an integer; EIdPOP3NegativeCount when
    // it is negative.
    int QueryMessageSize(int n);
    // DELE n: true (a refusal raises).
    bool DeleteMessage(int n);

    // The connection's open and close are the session's.
    void OpenConnection(int timeout = -1) override { OpenSession(timeout); }
    void CloseConnection() override { CloseSession(); }
    // The reply classified as "+OK" (1) or "-ERR" (2), then checked.
    int ReadReply(const std::vector<int>& allowed) override;

    // The "<...>" of a greeting text, brackets kept; empty without one.
    static std::string ApopTimestamp(const std::string& greeting);
    // The APOP digest: MD5 of timestamp + password, 32 lower-case hex digits.
    static std::string ApopDigest(const std::string& timestamp, const std::string& password);

private:
    void LogIn();
    void AwaitQuitReply();
};
