// Whole-message reception: the input is the server's answer to RETR after
// its "+OK" line (header, body, "." line, or anything else), served from
// memory in pieces whose size the first byte chooses. The first byte also
// chooses NoDecode. Reception may fail only with the system's own errors.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "message/message.h"
#include "mime/message_part.h"
#include "net/io_handler.h"
#include "platform/text.h"
#include "pop3/pop3.h"

namespace {

// Serves the bytes in pieces, then behaves as a peer that closed.
class MemoryTransport : public TIdIOHandler {
public:
    MemoryTransport(std::string bytes, std::size_t piece) : bytes_(std::move(bytes)), piece_(piece) {}
    void Close() override { open_ = false; }
    void ConnectClient(const std::string&, int, const std::string&, int, int) override { open_ = true; }
    bool Connected() override { return open_; }
    void Open() override {}
    bool Readable(int) override { return true; }
    int Recv(void* buffer, int length) override {
        std::size_t n = std::min({bytes_.size() - at_, piece_, static_cast<std::size_t>(length)});
        std::memcpy(buffer, bytes_.data() + at_, n);
        at_ += n;
        return static_cast<int>(n);
    }
    int Send(const void*, int length) override { return length; }

private:
    std::string bytes_;
    std::size_t piece_;
    std::size_t at_ = 0;
    bool open_ = true;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = 1 + (data[0] & 0x3F) * 37;
    std::string answer = "+OK\r\n" + std::string(reinterpret_cast<const char*>(data + 1), size - 1);
    TIdPOP3 client;
    client.SetIOHandler(std::make_unique<MemoryTransport>(std::move(answer), piece));
    TIdMessage message;
    message.NoDecode = (data[0] & 0x80) != 0;
    try {
        client.LoadMessage(1, message);
    } catch (const EIdException&) {
    }
    for (int i = 0; i < message.Parts.Count(); ++i)
        if (const auto* a = dynamic_cast<const TIdAttachment*>(&message.Parts.Items(i)))
            std::filesystem::remove(AnsiToUtf8(a->StoredPathName));
    return 0;
}
