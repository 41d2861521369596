#pragma once
// The POP3 client (RFC 1939). Every user action is one short session:
// OpenSession, some of CountMessages / LoadMessageHeader / QueryMessageSize /
// LoadMessage / DeleteMessage, then CloseSession. Each command is one line and one reply
// (the scan and the purge may send theirs ahead of the answers, see ScanHeaders);
// a reply other than "+OK" raises EIdProtocolReplyError with the server's text
// (the reply text after "-ERR", CR LF), a reply that is neither "+OK" nor
// "-ERR" raises EIdException "En-tête de réponse POP3 non reconnu : ...".
// A lost connection raises the errors of the line input.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mime/message_client.h"
#include "pop3/pop3_pipeline.h"

class TIdPOP3 : public TIdMessageClient {
public:
    static constexpr int ReplyOk = 1;     // "+OK"
    static constexpr int ReplyError = 2;  // "-ERR"

    TIdPOP3();  // Port 110, APOP off

    std::string Username;
    std::string Password;
    bool APOP = false;
    // OAuth2: when set, the log-in is SASL AUTH (RFC 5034) with this access
    // token as the bearer (RFC 7628), XOAUTH2 or else OAUTHBEARER, instead of
    // USER and PASS.
    std::string AccessToken;
    bool OAuthBearer = false;
    // When set, CAPA is asked before the log-in too, and a server that
    // pipelines gets CAPA and the CountsWithLogIn STATs that the caller asks
    // first (the scan's) in one exchange once PASS is answered. Nothing goes
    // out after PASS before its answer: a server may hand the connection to
    // another process once the user is known, and what was sent meanwhile is
    // lost. The first CountMessagesTimes then gives their counts. APOP and
    // token log-ins go as without it.
    bool LogInAhead = false;
    int CountsWithLogIn = 0;
    // With those counts, UIDL and LIST too: the first ListIdsAndSizes of the
    // last count then takes their answers.
    bool ListingsWithLogIn = false;
    // Each command line as it goes out, without its CR LF, for a trace; the
    // secret of PASS and APOP shows as "****" (MaskedCommand).
    std::function<void(const std::string& line)> OnCommand;
    static std::string MaskedCommand(std::string_view line);
    // Reports the lines to OnCommand, then sends.
    void WriteText(std::string_view text) override;

    // Connects, reads the greeting, logs in (USER + PASS, APOP, or AUTH with
    // the access token). Throws EIdPOP3UnsafeCredentials, before connecting,
    // for a user name, password or token holding CR, LF or NUL. A failure
    // after the connect closes the session (QUIT when the socket is still
    // open) before the error is raised again. "-ERR" to USER, PASS, APOP or
    // a refused token raises EIdPOP3LogInRefused (the server's text). An APOP
    // greeting without "<...>" raises EIdException "Le serveur ne supporte
    // pas APOP (pas d'horodatage)".
    void OpenSession(int timeout = -1);
    // "QUIT" when connected and its answer awaited (at most kQuitReplyTimeout
    // ms), then the connection is closed with "Déconnexion." and "Déconnecté."
    // in every case. A failed QUIT, or "-ERR" to it (the deleted messages
    // were not removed), is raised after the close; silence or the server
    // closing first is not a failure. Once an interruption is requested
    // (see Interruption) the connection is dropped without QUIT, so nothing
    // marked in the session is removed, and EIdInterrupted is raised.
    void CloseSession();
    static constexpr int kQuitReplyTimeout = 10000;
    // STAT: the number before the first blank of the reply text; 0 for an
    // empty text; EConvertError when that is not an integer,
    // EIdPOP3NegativeCount when it is negative.
    int CountMessages();
    // `times` STATs, as CountMessages each: sent in one go when the server
    // pipelines (a round trip instead of `times`), else one after the other.
    std::vector<int> CountMessagesTimes(int times);
    // Whether commands go ahead of the answers (see Batching): not once a
    // batch went unanswered in this session.
    bool Pipelining() const;
    // TOP n 0: the header lines up to "." into `message`, then parsed.
    bool LoadMessageHeader(int n, TIdMessage& message);
    // RETR n: the header, then (after a blank line) the body up to "." into
    // `message`, which the caller has cleared. True for "+OK"; false for
    // "-ERR", with nothing more read. Throws the reception errors; the
    // message keeps what was read and the session stays open.
    bool LoadMessage(int n, TIdMessage& message);
    // LIST n: the size after the first blank of the reply text; -1 when the
    // text is empty or that is not an integer; EIdPOP3NegativeCount when
    // it is negative. A number before the size other than n drops the
    // connection without QUIT and raises EIdPOP3AnswerMismatch.
    int QueryMessageSize(int n);
    // DELE n: true (a refusal raises).
    bool DeleteMessage(int n);
    // UIDL n: the unique id in the reply (after the number); empty for
    // "-ERR", which a server without UIDL and one without message n give alike.
    // A number other than n drops the connection without QUIT and raises
    // EIdPOP3AnswerMismatch.
    std::string QueryUniqueId(int n);
    // UIDL: the unique ids of messages 1 to `count` at index n, empty where
    // the listing has none; no ids at all when refused. Bounded as a listing
    // (MaxListingBytes, MaxListingLines); a number outside 1 to `count` or
    // seen twice raises EIdPOP3BadListing.
    std::vector<std::string> ListUniqueIds(int count);

    // CAPA (RFC 2449): the server's capability lines, kept for the session.
    // "-ERR" (a server without CAPA) gives none.
    const std::vector<std::string>& Capabilities();
    // Whether the last CAPA of this session listed `name` (any case).
    bool HasCapability(std::string_view name) const;
    // "UTF8" (RFC 6856) when the last CAPA of this session listed it, so that
    // a server which would otherwise replace a message whose header holds
    // raw UTF-8 by a notice sends the message itself. An "-ERR" is let pass:
    // the session goes on as before. Send it after the log-in.
    void EnableUtf8();
    // Whether the last CAPA of this session was answered "+OK": else what
    // the server offers is unknown, not absent.
    bool CapabilitiesKnown() const { return capabilitiesKnown_; }
    // CAPA, unless the log-in's own exchange asked it (see CountsWithLogIn).
    void CapabilitiesAfterLogIn();

    // How ScanHeaders and DeleteMessages send their commands. pbAuto sends
    // them ahead of the answers when the server lists PIPELINING, else takes
    // the sizes from one LIST; the other values force one way.
    enum TIdPOP3Batching { pbAuto, pbPipelined, pbOneList, pbSerial };
    TIdPOP3Batching Batching = pbAuto;
    // The most commands, and command bytes, sent and not yet answered. The
    // byte bound keeps the unread commands within what the two sides' socket
    // buffers hold (a receive buffer starts at 64 kB or more), so a server
    // that stops reading while its answers wait cannot block our send. A
    // scan of a thousand messages (TOP and LIST each) goes in one send: a
    // refill waits for answers a round trip away, while the server idles.
    int PipelineMaxCommands = 2048;
    int PipelineMaxBytes = 32768;
    // A server that lists PIPELINING yet drops what comes ahead would leave
    // the client waiting out the read limit. When no byte of an answer to
    // commands sent together comes within this many ms, the status says so
    // and the rest of the session sends one command at a time (see RunSteps).
    int PipelineAnswerLimit = 5000;
    // Bounds of a listing (CAPA, LIST, UIDL): past either the connection is
    // dropped without QUIT and EIdPOP3ListingTooLarge raised, so an endless
    // answer costs neither all the memory nor all the time.
    std::size_t MaxListingBytes = 16u << 20;
    std::size_t MaxListingLines = 1000000;

    // Per message of a scan: its header lines (after ClearAll of the
    // message; not parsed, so a header the message model refuses ends
    // nothing) and then its size, as QueryMessageSize gives it.
    struct ScanEvents {
        std::function<void(int n, TIdMessage& message)> header;
        std::function<void(int n, int size)> size;
        // When set: after the last size, the unique ids as ListUniqueIds
        // gives them (UIDL sent with the last commands when the server pipelines).
        std::function<void(std::vector<std::string>&& ids)> uniqueIds;
    };
    // The header (TOP n 0) and size of messages 1 to `count`, in order. Every
    // answer is checked: "-ERR" or a lost connection raises as the single
    // commands do, after the events of the answers before it. Send Capabilities
    // first for the pipelined way.
    void ScanHeaders(int count, TIdMessage& message, const ScanEvents& events);
    // What the server lists of messages 1 to `count`, at index n: their unique
    // ids (none at all when UIDL is refused, empty where the listing has none)
    // and sizes (-2 where LIST has no line for n; none at all when LIST is
    // refused). UIDL and LIST go in one send when the server pipelines.
    // Raises as ListUniqueIds does.
    struct Listing {
        std::vector<std::string> ids;
        std::vector<int> sizes;
    };
    Listing ListIdsAndSizes(int count);
    // As ScanHeaders for the messages `numbers` only (ascending), `sizes`
    // as ListIdsAndSizes gives them: a size listed there is not asked again.
    // No unique ids.
    void ScanSomeHeaders(const std::vector<int>& numbers, const std::vector<int>& sizes, TIdMessage& message,
                         const ScanEvents& events);
    // DELE of each number, in order; raises as DeleteMessage at the first
    // refusal. Messages after a refused one stay undeleted even when their
    // DELE had already gone out and was accepted (RSET, then the DELEs before
    // the refusal again); when that repair fails the connection is dropped
    // without QUIT, so that nothing unconfirmed is removed.
    // `marked`, when given, receives how many of `numbers`, from the first,
    // stay marked for deletion when it returns or throws (0 when the
    // connection was dropped).
    void DeleteMessages(const std::vector<int>& numbers, std::size_t* marked = nullptr);

    // What CopyAndDeleteMessages hands over of each message.
    struct CopyEvents {
        // RETR n was answered "+OK": its bytes follow.
        std::function<void(int n)> start;
        // The message's bytes in order as received, dot-unstuffed, line
        // ends as sent; a piece never goes past a line end.
        std::function<void(std::string_view bytes)> bytes;
        // Message n is through; `retrieved` is false when RETR was refused.
        // True when its copy is written: only then may it be deleted.
        std::function<bool(int n, bool retrieved)> done;
        // Once, before the session may end with the DELEs marked: true when
        // every copy kept is durable, false to delete none of them.
        std::function<bool()> sync;
    };
    // RETR of each number, in order, its bytes to `events`, and DELE of each
    // message whose copy `events` kept, never before it was kept. With
    // pipelining the RETRs go ahead of the answers and each DELE rides with
    // the next commands. A message not kept is not deleted and the others go
    // on. Before it ends with DELEs marked, `events.sync` makes the copies
    // durable; when it cannot, the socket is dropped without QUIT so that the
    // server deletes nothing. A DELE refused raises as DeleteMessages (the
    // DELEs taken after it undone); a lost connection raises, dropping the
    // socket without QUIT when DELEs were still unanswered. `marked`, when
    // given, receives the numbers that stay marked for deletion when it
    // returns or throws.
    void CopyAndDeleteMessages(const std::vector<int>& numbers, const CopyEvents& events,
                               std::vector<int>* marked = nullptr);

    // The connection's open and close are the session's.
    void OpenConnection(int timeout = -1) override { OpenSession(timeout); }
    void CloseConnection() override { CloseSession(); }
    // The reply classified as "+OK" (1) or "-ERR" (2), then checked. A reply
    // is one line, also one that begins "+OK-".
    int ReadReply(const std::vector<int>& allowed) override;

    // STLS on the open connection, after the greeting: CAPA must list STLS,
    // "STLS" answered "+OK", the TLS handshake, then CAPA again (what the
    // server said before TLS is not trusted). LastReply is the greeting
    // again afterwards. Throws EIdPOP3StlsNotOffered, EIdPOP3StlsRefused and
    // the TLS errors; never leaves the connection in clear. OpenSession runs
    // it when TLS.Mode is tlsExplicit.
    void NegotiateStls();

    // The "<...>" of a greeting text, brackets kept; empty without one.
    static std::string ApopTimestamp(const std::string& greeting);
    // The APOP digest: MD5 of timestamp + password, 32 lower-case hex digits.
    static std::string ApopDigest(const std::string& timestamp, const std::string& password);

private:
    using Step = Pop3Step;
    using StepAnswer = std::function<void(const Step& step)>;
    void LogIn();
    // CAPA and the CountsWithLogIn STATs in one exchange, once logged in.
    void AskAfterLogIn();
    // A CAPA answer: its lines become the capabilities.
    void ReadCapabilities();
    // A UIDL answer for messages 1 to `count`, as ListUniqueIds gives it.
    std::vector<std::string> ReadUniqueIds(int count);
    // Raises EIdPOP3AnswerMismatch, the connection dropped, when bytes are
    // left after every answer due: more answers than commands.
    void ExpectNoAnswerLeft();
    // AUTH XOAUTH2 or OAUTHBEARER with AccessToken (pop3_auth.cpp).
    void LogInWithToken();
    // The reply in `lines` classified and checked as ReadReply does.
    int TakeReply(const std::vector<std::string>& lines, const std::vector<int>& allowed);
    void AwaitQuitReply();
    // The count in LastReply of a STAT answer, as CountMessages reads it.
    int ReplyCount();
    // The size in LastReply of a "LIST n" answer, -1 when it has none.
    int ReplySize(int n);
    // Drops the connection without QUIT and raises EIdPOP3AnswerMismatch
    // unless `number` is n.
    void ExpectNumber(std::string_view number, int n);
    // Drops the connection without QUIT and raises EIdPOP3BadListing.
    [[noreturn]] void BadListing();
    // The lines of a listing up to ".", within MaxListingBytes and MaxListingLines.
    void CaptureListing(const LineSink& sink);
    // Sends the steps' commands, ahead of the answers within the window when
    // `ahead`, and reads each answer in order through `answer`. When that
    // raises EIdProtocolReplyError the answers still due are read first (so
    // the session can go on); `acceptedAfter` tells whether one of them was
    // "+OK". Other errors leave them unread.
    // An answer to commands sent together that does not begin within
    // PipelineAnswerLimit turns pipelining off for the session: the command
    // is sent once more alone (never a DELE: with one due the connection is
    // dropped without QUIT and EIdPOP3BatchUnanswered raised) and its answer
    // read; answers that follow unasked show the server was slow, not deaf:
    // the others are read as they come and the second answer skipped; else
    // the others go again one at a time.
    void RunSteps(const std::vector<Step>& steps, bool ahead, const StepAnswer& answer,
                  bool* acceptedAfter = nullptr);
    void SkipAnswer(const Step& step, bool& accepted);
    // The answers still due in `window` read and dropped; true when one of
    // them took a DELE (or when reading them failed: then it may have).
    bool SkipDue(const Pop3Pipeline& window);
    // The session's window: ahead of the answers when `ahead`, within
    // PipelineMaxCommands and PipelineMaxBytes.
    Pop3Pipeline Window(bool ahead);
    // Whether a byte of an answer is there or comes within `ms`.
    bool AnswerWithin(int ms);
    // The wait for an answer to commands sent together, in ms.
    int BatchAnswerLimit() const;
    // One RETR answer's lines to `events`, up to the "." line.
    void StreamMessage(const CopyEvents& events);
    // After a refused DELE whose followers the server took (they were never
    // meant to count): RSET unmarks everything and the DELEs of `kept`, those
    // confirmed before it, go again. When that fails the connection is
    // dropped without QUIT, so that none counts, and false returned.
    bool MarkOnlyAgain(const std::vector<int>& kept, bool ahead);
    // Sizes of messages 1 to `count` from one LIST (index n); -2 where the
    // listing has no line for n; empty when LIST was refused. Raises
    // EIdPOP3BadListing as ListUniqueIds does, and for a size that is not
    // a non-negative integer.
    std::vector<int> ListAll(int count);
    // The answer of a UIDL or LIST of every message sent as `step`, into `listing`.
    void ReadListing(const Step& step, int count, Listing& listing);
    // The answer of a LIST sent, as ListAll gives it.
    std::vector<int> ReadSizes(int count);
    // TOP (and LIST where `sizes` has none) of `numbers`, then UIDL of
    // messages 1 to `uidlCount` when that is not 0, the answers to `events`.
    void RunScanSteps(const std::vector<int>& numbers, const std::vector<int>& sizes, TIdMessage& message,
                      const ScanEvents& events, int uidlCount);

    std::vector<std::string> capabilities_;
    bool capabilitiesKnown_ = false;
    bool capabilitiesAfterLogIn_ = false;
    // Counts of the STATs sent with the log-in, not yet taken.
    std::vector<int> countsAhead_;
    // The listings sent with the log-in, not yet taken, and the count they were read for.
    std::optional<Listing> listingAhead_;
    int listingAheadCount_ = 0;
    // A batch went unanswered: one command at a time from then on.
    bool batchUnanswered_ = false;
    // A DELE went out this session: QUIT's answer says whether it counted.
    bool deletionsSent_ = false;
};
