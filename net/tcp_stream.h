#pragma once
// A stream view of a connection for the decoders: reads take bytes from the
// connection, writes send them, and there is no seeking. A line reader given
// this stream reads with the connection's ReadLine. Does not own the
// connection.
#include <cstdint>
#include <string>

#include "net/tcp_connection.h"

class TIdTCPStream {
public:
    explicit TIdTCPStream(TIdTCPConnection& connection) : connection_(connection) {}

    TIdTCPConnection& Connection() { return connection_; }
    // Exactly `count` bytes (blocks until they came); returns count.
    int Read(void* buffer, int count) {
        connection_.ReadBytes(buffer, count);
        return count;
    }
    // Sends all bytes; returns count.
    int Write(const void* buffer, int count) {
        connection_.WriteBuffer(buffer, count);
        return count;
    }
    std::int64_t Seek(std::int64_t, int) { return -1; }
    std::string ReadLine() { return connection_.ReadLine(); }

private:
    TIdTCPConnection& connection_;
};
