#include "pop3/pop3.h"

#include <exception>
#include <limits>

#include "message/message.h"
#include "net/net_errors.h"
#include "platform/interruption.h"
#include "platform/secret_memory.h"
#include "platform/text.h"
#include "pop3/md5.h"
#include "pop3/message_count.h"
#include "pop3/pop3_errors.h"
#include "pop3/stls_errors.h"

namespace {
bool HoldsLineBreakOrNul(const std::string& text) {
    return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}
}  // namespace

TIdPOP3::TIdPOP3() { Port = 110; }

std::string TIdPOP3::MaskedCommand(std::string_view line) {
    const std::string upper = UpperCase(line.substr(0, 5));
    if (upper == "PASS ") return "PASS ****";
    if (upper == "APOP ") {
        // The user name stays; the digest goes, being a guessable hash of the password.
        const std::size_t blank = line.find(' ', 5);
        return std::string(line.substr(0, blank)) + " ****";
    }
    return std::string(line);
}

void TIdPOP3::WriteText(std::string_view text) {
    if (OnCommand) {
        for (std::string_view rest = text; !rest.empty();) {
            const std::size_t end = rest.find("\r\n");
            const std::string_view line = rest.substr(0, end);
            if (!line.empty()) OnCommand(MaskedCommand(line));
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 2);
        }
    }
    TIdTCPConnection::WriteText(text);
}

void TIdPOP3::OpenSession(int timeout) {
    if (HoldsLineBreakOrNul(Username) || HoldsLineBreakOrNul(Password) || HoldsLineBreakOrNul(AccessToken))
        throw EIdPOP3UnsafeCredentials();
    capabilities_.clear();
    capabilitiesKnown_ = false;
    capabilitiesAfterLogIn_ = false;
    countsAhead_.clear();
    listingAhead_.reset();
    batchUnanswered_ = false;
    deletionsSent_ = false;
    TIdTCPClient::OpenConnection(timeout);
    try {
        ReadReply({ReplyOk});
        if (TLS.Mode == tlsExplicit) NegotiateStls();
        // Whether the log-in may go ahead of its answers.
        if (LogInAhead && AccessToken.empty() && !APOP) Capabilities();
        LogIn();
    } catch (...) {
        // The first error is the one worth reporting; a failing QUIT adds nothing.
        try {
            CloseSession();
        } catch (const std::exception&) {
        }
        throw;
    }
}

void TIdPOP3::LogIn() {
    if (!AccessToken.empty()) {
        LogInWithToken();
        return;
    }
    // A refusal here is the account's, not the session's: it says so by its
    // class. The command lines holding the secret are wiped once sent,
    // whatever the answer.
    const bool ahead = LogInAhead && !APOP && Pipelining();
    try {
        if (!APOP) {
            // One at a time: servers hold PASS's answer back until USER's is
            // acknowledged (Nagle), so the two together gain nothing.
            SendCommand("USER " + Username, ReplyOk);
            WipedSecret pass("PASS " + Password);
            SendCommand(pass.Text(), ReplyOk);
        } else {
            std::string timestamp = ApopTimestamp(LastReply.Text.Count() > 0 ? LastReply.Text[0] : "");
            if (timestamp.empty()) throw EIdPOP3NoApopTimestamp();
            SendCommand("APOP " + Username + " " + ApopDigest(timestamp, Password), ReplyOk);
        }
    } catch (const EIdProtocolReplyError& e) {
        throw EIdPOP3LogInRefused(e.ReplyErrorCode(), e.Message());
    }
    if (ahead) AskAfterLogIn();
}

std::string TIdPOP3::ApopTimestamp(const std::string& greeting) {
    std::size_t open = greeting.find('<');
    if (open == std::string::npos) return "";
    std::size_t close = greeting.find('>', open);
    if (close == std::string::npos) return "";
    return greeting.substr(open, close - open + 1);
}

std::string TIdPOP3::ApopDigest(const std::string& timestamp, const std::string& password) {
    WipedSecret hashed(timestamp + password);
    return TIdHashMessageDigest5::AsHex(TIdHashMessageDigest5::HashValue(hashed.Text()));
}

void TIdPOP3::CloseSession() {
    // A user who stopped the action must not have it completed: without QUIT
    // the server removes none of the messages marked in this session.
    if (Interruption::Requested()) {
        TIdTCPConnection::CloseConnection();
        Interruption::ThrowIfRequested();
    }
    std::exception_ptr failure;
    try {
        if (IsConnected()) {
            WriteLine("QUIT");
            // Without a DELE the answer says nothing the user needs: not
            // waiting for it saves a round trip on every look.
            if (deletionsSent_) AwaitQuitReply();
        }
    } catch (...) {
        failure = std::current_exception();
    }
    TIdTCPConnection::CloseConnection();
    if (failure) std::rethrow_exception(failure);
}

void TIdPOP3::AwaitQuitReply() {
    // The server removes the deleted messages while it answers QUIT: leaving
    // before the answer lets the next session see them still there, and a
    // "-ERR" here means they were not removed, which the user must learn.
    // A server that closes or stays silent instead costs at most the limit.
    // The limit is for the whole answer: a server that sends it a byte at a
    // time cannot stretch it.
    const int limit = (ReadTimeout <= 0 || ReadTimeout > kQuitReplyTimeout) ? kQuitReplyTimeout : ReadTimeout;
    ReadDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit);
    try {
        ReadReply({ReplyOk});
    } catch (const EIdProtocolReplyError&) {
        ReadDeadline.reset();
        throw;
    } catch (const std::exception&) {
    }
    ReadDeadline.reset();
}

int TIdPOP3::ReadReply(const std::vector<int>& allowed) {
    // POP3 has no numbered continuation lines: a reply that begins "+OK-"
    // is one line like any other, never the start of an endless one.
    return TakeReply({ReadNonEmptyLine(std::numeric_limits<int>::max())}, allowed);
}

int TIdPOP3::TakeReply(const std::vector<std::string>& lines, const std::vector<int>& allowed) {
    LastReply.ParseLines(lines);
    if (SameText(LastReply.TextCode(), "+OK")) {
        LastReply.SetNumericCode(ReplyOk);
    } else if (SameText(LastReply.TextCode(), "-ERR")) {
        LastReply.SetNumericCode(ReplyError);
    } else {
        throw EIdPOP3UnrecognisedReply(std::string(pop3_text::kUnrecognisedReply) + LastReply.ShownText() +
                                       "\"");
    }
    return CheckReplyCode(allowed);
}

int TIdPOP3::CountMessages() {
    SendCommand("STAT", ReplyOk);
    return ReplyCount();
}

int TIdPOP3::ReplyCount() {
    std::string line = LastReply.Text[0];
    if (line.empty()) return 0;
    // Without a blank there is no count before it, and "" is no integer.
    std::size_t blank = line.find(' ');
    const std::string count = blank == std::string::npos ? std::string() : line.substr(0, blank);
    std::optional<std::int32_t> n = NonNegativeCount(count);
    return n ? *n : StrToInt(count);  // StrToInt raises the conversion error
}

int TIdPOP3::QueryMessageSize(int n) {
    SendCommand("LIST " + IntToStr(n), ReplyOk);
    return ReplySize(n);
}

int TIdPOP3::ReplySize(int n) {
    std::string line = LastReply.Text[0];
    if (line.empty()) return -1;
    std::size_t blank = line.find(' ');
    if (blank == std::string::npos) return NonNegativeCount(line).value_or(-1);
    ExpectNumber(std::string_view(line).substr(0, blank), n);
    return NonNegativeCount(line.substr(blank + 1)).value_or(-1);
}

void TIdPOP3::ExpectNumber(std::string_view number, int n) {
    if (StrToIntDef(number, -1) == n) return;
    // The answer is another command's: what follows it cannot be trusted,
    // and a QUIT would carry out deletions made on a wrong belief.
    ReleaseSocket();
    throw EIdPOP3AnswerMismatch();
}

void TIdPOP3::BadListing() {
    // The rest of the listing is still coming: no QUIT after it.
    ReleaseSocket();
    throw EIdPOP3BadListing();
}

bool TIdPOP3::DeleteMessage(int n) {
    deletionsSent_ = true;
    SendCommand("DELE " + IntToStr(n), ReplyOk);
    return LastReply.NumericCode() == ReplyOk;
}

// Header-only fetch: TOP n 0.
bool TIdPOP3::LoadMessageHeader(int n, TIdMessage& message) {
    SendCommand("TOP " + IntToStr(n) + " 0", ReplyOk);
    ReadHeaderBlock(message, ".");
    return true;
}

// Whole-message retrieval: RETR n, the header through the header reception,
// then the body up to the "." line.
bool TIdPOP3::LoadMessage(int messageNumber, TIdMessage& message) {
    if (SendCommand("RETR " + IntToStr(messageNumber), -1) == ReplyOk) {
        // A header ended by the "." line has no body to read.
        if (ReadHeaderBlock(message, "").empty()) ReadMessageBody(message, ".");
    }
    return LastReply.NumericCode() == ReplyOk;
}

// STLS (RFC 2595): TLS started on a plain POP3 connection.
void TIdPOP3::NegotiateStls() {
    const TIdRFCReply greeting = LastReply;
    Capabilities();
    if (!HasCapability("STLS")) throw EIdPOP3StlsNotOffered();
    if (SendCommand("STLS", -1) != ReplyOk)
        throw EIdPOP3StlsRefused(std::string("Le serveur a refusé STLS : ") + Trim(LastReply.ShownText()));
    StartTLS();
    // What was learnt before the link was private is not trusted; whoever
    // needs the list (the scan, after the log-in) asks again.
    capabilities_.clear();
    capabilitiesKnown_ = false;
    LastReply = greeting;
}
