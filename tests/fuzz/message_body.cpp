// Whole-message reception: the input is the server's answer to RETR after
// its "+OK" line (header, body, "." line, or anything else), served from
// memory in pieces whose size the first byte chooses. The first byte also
// chooses NoDecode. Reception may fail only with the system's own errors.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "memory_transport.h"
#include "message/message.h"
#include "message/message_part.h"
#include "platform/text.h"
#include "pop3/pop3.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = 1 + (data[0] & 0x3F) * 37;
    std::string answer = "+OK\r\n" + std::string(reinterpret_cast<const char*>(data + 1), size - 1);
    TIdPOP3 client;
    client.SetIOHandler(std::make_unique<fuzz::MemoryTransport>(std::move(answer), piece));
    TIdMessage message;
    message.NoDecode = (data[0] & 0x80) != 0;
    try {
        client.LoadMessage(1, message);
    } catch (const EIdException&) {
    }
    for (int i = 0; i < message.Parts.Count(); ++i)
        if (const auto* a = dynamic_cast<const TIdAttachment*>(&message.Parts.Items(i)))
            std::filesystem::remove(a->StoredPathName);
    return 0;
}
