#pragma once
// A byte stream over the transport with an input buffer: whole lines in,
// lines out, and one well-defined error when either side has closed.
// Reads block on the calling thread; under the anti-freeze the waits are cut
// into slices that keep the user interface alive.
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "net/component.h"
#include "net/io_handler.h"
#include "net/managed_buffer.h"
#include "net/rfc_reply.h"

enum TIdMaxLineAction { maException, maSplit };

// Timeout argument that selects the connection's ReadTimeout.
constexpr int IdTimeoutDefault = -1;

// A line of a dot-stuffed reply whose first "." was put there by the server
// (a line that begins "..") loses that dot.
inline void UnstuffDots(std::string& line) {
    if (line.starts_with("..")) line.erase(0, 1);
}

class TIdTCPConnection : public TIdComponent {
public:
    // Receives each captured line; an empty function discards them.
    using LineSink = std::function<void(std::string&& line)>;

    TIdTCPConnection();
    ~TIdTCPConnection() override;

    int MaxLineLength = 16384;  // 0: no limit
    TIdMaxLineAction MaxLineAction = maException;
    int ReadTimeout = 0;  // ms; 0: no limit
    // When set, every read ends by then at the latest, however the bytes
    // trickle in (EIdReadTimeout past it).
    std::optional<std::chrono::steady_clock::time_point> ReadDeadline;
    int RecvBufferSize = 32768;
    int SendBufferSize = 32768;
    std::function<void(TIdTCPConnection& ASender)> OnDisconnected;
    TIdRFCReply LastReply;

    TIdIOHandler* IOHandler() { return ioHandler_.get(); }
    // Installs a transport of the caller's choosing; it stays across
    // CloseConnection (only a handler the client made itself is dropped).
    void SetIOHandler(std::unique_ptr<TIdIOHandler> handler);
    TIdManagedBuffer& InputBuffer() { return buffer_; }
    bool ClosedGracefully() const { return closedGracefully_; }
    bool LastLineSplit() const { return lastLineSplit_; }
    bool LastLineTimedOut() const { return lastLineTimedOut_; }

    // Empties the input buffer and clears the closed flag (a new connection).
    virtual void ResetInputState();
    // Notices a close by either side: releases the socket and reports
    // "Déconnecté." once. Throws EIdConnClosedGracefully when disconnected,
    // `raiseIfDisconnected`, and the buffer is empty or `ignoreBuffer`.
    virtual void CheckDisconnect(bool raiseIfDisconnected = true, bool ignoreBuffer = false);
    virtual bool IsConnected();
    // "Déconnexion.", socket closed, own handler dropped, "Déconnecté.".
    virtual void CloseConnection();
    // Closes the transport without status reports.
    virtual void ReleaseSocket();

    // Reads a reply into LastReply and checks its code against `allowed`
    // (empty: any). Returns the code. Throws EIdProtocolReplyError for a code
    // not allowed, and the read errors below.
    virtual int ReadReply(const std::vector<int>& allowed);
    // WriteLine(line), then ReadReply with [expected], or any code for -1.
    virtual int SendCommand(std::string_view line, int expected);

    // Receives once into the buffer. Returns the count added, 0 when the peer
    // closed, -1 on a timeout when not `raiseOnTimeout`. Throws
    // EIdReadTimeout, EIdNotConnected, EIdConnClosedGracefully, EIdSocketError.
    virtual int FillInputBuffer(bool raiseIfDisconnected = true, int timeout = IdTimeoutDefault,
                                bool raiseOnTimeout = true);
    // One line without its terminator (LF when empty; for LF, one CR before
    // it goes too). A line longer than MaxLineLength throws
    // EIdReadLnMaxLineLengthExceeded (maException, buffer untouched) or comes
    // back cut (maSplit, LastLineSplit). A peer that closes in the middle of
    // a line gives "" with LastLineTimedOut set; the next read throws
    // EIdConnClosedGracefully.
    virtual std::string ReadLine(std::string_view terminator = "\n");
    // Drops the input up to and including the next LF (a line ReadLine
    // refused as too long), holding no more than one receive of it at a time.
    // Returns the count dropped; stops once it passes `most` without an LF.
    // Throws the read errors of ReadLine.
    std::size_t SkipLine(std::size_t most);
    // The first line that is not blank, trimmed; at most `maxAttempts` reads.
    std::string ReadNonEmptyLine(int maxAttempts);
    // Lines up to the `delimiter` line (not stored); a line beginning ".."
    // loses its first dot when `unstuffDots`. Returns the count stored.
    int CaptureLines(const LineSink& destination, std::string_view delimiter = ".", bool unstuffDots = true);
    int CaptureLines(TStringList& destination, std::string_view delimiter = ".", bool unstuffDots = true);
    // Every line followed by CR LF.
    int CaptureLines(std::ostream& destination, std::string_view delimiter = ".", bool unstuffDots = true);
    // Exactly `count` bytes; nothing for count <= 0.
    void ReadBytes(void* buffer, int count);

    // Sends all bytes before returning; nothing for an empty text.
    // Throws EIdNotConnected, EIdConnClosedGracefully, EIdSocketError.
    virtual void WriteText(std::string_view text);
    // The text and CR LF in one send.
    virtual void WriteLine(std::string_view text);
    void WriteBuffer(const void* bytes, int count);

protected:
    // Raw reply lines: blank lines skipped, each line trimmed, numbered
    // continuation lines ("xyz-") followed up to the last one.
    std::vector<std::string> ReadReplyLines();
    // Throws EIdProtocolReplyError when LastReply's code is not allowed.
    int CheckReplyCode(const std::vector<int>& allowed);
    void AdoptOwnIOHandler(std::unique_ptr<TIdIOHandler> handler);

private:
    std::string LineTooLong(std::size_t limit);

    std::unique_ptr<TIdIOHandler> ioHandler_;
    bool freeIOHandlerOnClose_ = false;
    TIdManagedBuffer buffer_;
    std::string recvChunk_;
    bool closedGracefully_ = false;
    bool lastLineSplit_ = false;
    bool lastLineTimedOut_ = false;
};
