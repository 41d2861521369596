#include "net/tcp_connection.h"

#include "net/anti_freeze.h"
#include "net/net_errors.h"
#include "net/stack.h"
#include "platform/secret_memory.h"

TIdTCPConnection::TIdTCPConnection() {
    buffer_.OnConsume = [this](std::size_t count) { DoWork(wmRead, static_cast<std::int64_t>(count)); };
}

TIdTCPConnection::~TIdTCPConnection() = default;

void TIdTCPConnection::SetIOHandler(std::unique_ptr<TIdIOHandler> handler) {
    ioHandler_ = std::move(handler);
    freeIOHandlerOnClose_ = false;
}

void TIdTCPConnection::AdoptOwnIOHandler(std::unique_ptr<TIdIOHandler> handler) {
    ioHandler_ = std::move(handler);
    freeIOHandlerOnClose_ = true;
}

void TIdTCPConnection::ResetInputState() {
    buffer_.Clear();
    closedGracefully_ = false;
}

void TIdTCPConnection::CheckDisconnect(bool raiseIfDisconnected, bool ignoreBuffer) {
    bool disconnected = false;
    if (closedGracefully_ || !ioHandler_) {
        if (ioHandler_) {
            if (ioHandler_->Connected()) {
                ReleaseSocket();
                DoStatus(hsDisconnected);
                if (OnDisconnected) OnDisconnected(*this);
            }
            disconnected = true;
        }
    } else {
        disconnected = !ioHandler_->Connected();
    }
    if (disconnected && (buffer_.Size() == 0 || ignoreBuffer) && raiseIfDisconnected) {
        throw EIdConnClosedGracefully();
    }
}

bool TIdTCPConnection::IsConnected() {
    CheckDisconnect(false, false);
    return ioHandler_ && ioHandler_->Connected();
}

void TIdTCPConnection::CloseConnection() {
    DoStatus(hsDisconnecting);
    ReleaseSocket();
    if (freeIOHandlerOnClose_) {
        ioHandler_.reset();
        freeIOHandlerOnClose_ = false;
    }
    if (OnDisconnected) OnDisconnected(*this);
    DoStatus(hsDisconnected);
}

void TIdTCPConnection::ReleaseSocket() {
    if (!ioHandler_) return;
    closedGracefully_ = true;
    ioHandler_->Close();
}

int TIdTCPConnection::FillInputBuffer(bool raiseIfDisconnected, int timeout, bool raiseOnTimeout) {
    if (timeout == IdTimeoutDefault) timeout = ReadTimeout == 0 ? IdTimeoutInfinite : ReadTimeout;
    CheckDisconnect(raiseIfDisconnected, false);
    if (!IsConnected()) {
        if (raiseIfDisconnected) throw EIdNotConnected();
        return 0;
    }
    int n = 0;
    do {
        if (ReadDeadline) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  *ReadDeadline - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0) throw EIdReadTimeout();
            if (timeout == IdTimeoutInfinite || left < timeout) timeout = static_cast<int>(left);
        }
        if (!ioHandler_->Readable(timeout)) {
            if (raiseOnTimeout) throw EIdReadTimeout();
            return -1;
        }
        recvChunk_.resize(static_cast<std::size_t>(RecvBufferSize));
        n = ioHandler_->Recv(recvChunk_.data(), RecvBufferSize);
        closedGracefully_ = n == 0;
        if (n != 0) {
            TIdStack& stack = *SocketStack();
            // A socket shut down or aborted under us: what is buffered is
            // still read first.
            if (stack.CheckSocketResult(n, {Id_WSAESHUTDOWN, Id_WSAECONNABORTED})) {
                ReleaseSocket();
                if (buffer_.Size() == 0) stack.ThrowSocketError(stack.LastError());
                n = 0;
            } else {
                buffer_.Append(recvChunk_.data(), static_cast<std::size_t>(n));
            }
        }
        CheckDisconnect(raiseIfDisconnected, false);
    } while (n == 0 && IsConnected());
    return n;
}

std::string TIdTCPConnection::ReadLine(std::string_view terminator) {
    if (terminator.empty()) terminator = "\n";
    lastLineSplit_ = false;
    lastLineTimedOut_ = false;
    const std::size_t limit = MaxLineLength > 0 ? static_cast<std::size_t>(MaxLineLength) : 0;
    std::size_t found = 0;  // 1-based position of the terminator, 0: none yet
    std::size_t searched = 0;
    for (;;) {
        std::size_t size = buffer_.Size();
        if (size > 0) {
            // Only the bytes that arrived since the last search, plus enough
            // overlap for a terminator cut between two receives.
            std::size_t from = searched >= terminator.size() ? searched - (terminator.size() - 1) : 0;
            std::size_t at = buffer_.View().find(terminator, from);
            found = at == std::string_view::npos ? 0 : at + 1;
            searched = size;
        }
        if (limit != 0 && found != 0 && found - 1 > limit) return LineTooLong(limit);
        if (found != 0) break;
        if (limit != 0 && searched > limit) return LineTooLong(limit);
        CheckDisconnect(true, true);
        int n = FillInputBuffer(true, IdTimeoutDefault, true);
        lastLineTimedOut_ = n == 0;
        if (lastLineTimedOut_) return "";
    }
    std::string line = buffer_.Extract(found + terminator.size() - 1);
    line.resize(line.size() - terminator.size());
    if (terminator == "\n" && !line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::string TIdTCPConnection::LineTooLong(std::size_t limit) {
    if (MaxLineAction == maException) throw EIdReadLnMaxLineLengthExceeded();
    lastLineSplit_ = true;
    return buffer_.Extract(limit);
}

std::size_t TIdTCPConnection::SkipLine(std::size_t most) {
    std::size_t dropped = 0;
    for (;;) {
        const std::size_t end = buffer_.View().find('\n');
        const std::size_t count = end == std::string_view::npos ? buffer_.Size() : end + 1;
        buffer_.Remove(count);
        dropped += count;
        if (end != std::string_view::npos || dropped > most) return dropped;
        CheckDisconnect(true, true);
        FillInputBuffer(true, IdTimeoutDefault, true);
    }
}

std::string TIdTCPConnection::ReadNonEmptyLine(int maxAttempts) {
    std::string result;
    for (int attempts = 0; result.empty() && attempts < maxAttempts; ++attempts) result = Trim(ReadLine());
    return result;
}

int TIdTCPConnection::CaptureLines(const LineSink& destination, std::string_view delimiter,
                                   bool unstuffDots) {
    int count = 0;
    TIdWorkScope work(*this, wmRead);
    for (;;) {
        std::string line = ReadLine();
        if (line == delimiter) break;
        if (unstuffDots) UnstuffDots(line);
        ++count;
        if (destination) destination(std::move(line));
    }
    return count;
}

int TIdTCPConnection::CaptureLines(TStringList& destination, std::string_view delimiter, bool unstuffDots) {
    return CaptureLines([&](std::string&& line) { destination.Add(std::move(line)); }, delimiter,
                        unstuffDots);
}

int TIdTCPConnection::CaptureLines(std::ostream& destination, std::string_view delimiter, bool unstuffDots) {
    return CaptureLines([&](std::string&& line) { destination << line << "\r\n"; }, delimiter, unstuffDots);
}

void TIdTCPConnection::ReadBytes(void* buffer, int count) {
    if (count <= 0) return;
    while (buffer_.Size() < static_cast<std::size_t>(count)) {
        FillInputBuffer(true, IdTimeoutDefault, true);
        CheckDisconnect(true, true);
    }
    std::string bytes = buffer_.Extract(static_cast<std::size_t>(count));
    std::copy(bytes.begin(), bytes.end(), static_cast<char*>(buffer));
}

void TIdTCPConnection::WriteText(std::string_view text) {
    if (!text.empty()) WriteBuffer(text.data(), static_cast<int>(text.size()));
}

void TIdTCPConnection::WriteLine(std::string_view text) {
    // The line may carry a password (PASS): its copy does not outlive the send.
    WipedSecret line(std::string(text) + "\r\n");
    WriteText(line.Text());
}

void TIdTCPConnection::WriteBuffer(const void* bytes, int count) {
    if (count <= 0) return;
    CheckDisconnect(true, true);
    if (!IsConnected()) throw EIdNotConnected();
    const char* data = static_cast<const char*>(bytes);
    int position = 0;
    while (position < count) {
        int sent = ioHandler_->Send(data + position, count - position);
        PumpIfAllowed(false, false);
        closedGracefully_ = sent == 0;
        CheckDisconnect(true, false);
        TIdStack& stack = *SocketStack();
        if (stack.CheckSocketResult(sent, {Id_WSAESHUTDOWN, Id_WSAECONNABORTED, Id_WSAECONNRESET})) {
            ReleaseSocket();
            stack.ThrowSocketError(stack.LastError());
        }
        DoWork(wmWrite, sent);
        position += sent;
    }
}
