// Server replies and the lines around them: the input is what the server
// sends, served in pieces whose size the first byte chooses (the same byte
// picks a small line limit and what to do with longer lines). Replies are
// read and classified until the input runs out; only the system's own errors
// may leave, and a reply's text never holds more bytes than came in.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "memory_transport.h"
#include "net/net_errors.h"
#include "platform/text.h"
#include "pop3/pop3.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = 1 + (data[0] & 0x1F) * 5;
    std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
    TIdPOP3 client;
    client.MaxLineLength = (data[0] & 0x20) ? 64 : 16384;
    client.MaxLineAction = (data[0] & 0x40) ? maSplit : maException;
    client.SetIOHandler(std::make_unique<fuzz::MemoryTransport>(input, piece));
    for (int replies = 0; replies <= static_cast<int>(size); ++replies) {
        try {
            int code = client.ReadReply({});
            if (code != TIdPOP3::ReplyOk && code != TIdPOP3::ReplyError) std::abort();
            if (client.LastReply.Text.Text().size() > input.size() * 2 + 2) std::abort();
        } catch (const EIdConnClosedGracefully&) {
            return 0;
        } catch (const EIdReadLnMaxLineLengthExceeded&) {
            return 0;  // the line stays in the buffer: reading on gives the same error
        } catch (const EIdException&) {
            // an unrecognised reply: read on
        }
    }
    std::abort();  // more replies than input bytes: a read that consumed nothing
}
