#pragma once
// A transport over bytes already in memory: serves them in pieces of at
// most `piece` bytes, then behaves as a peer that closed; what is sent is
// swallowed. For reading a stored message as a server's answer is read.
#include <algorithm>
#include <cstring>
#include <string>

#include "net/io_handler.h"

class TIdIOHandlerMemory : public TIdIOHandler {
public:
    explicit TIdIOHandlerMemory(std::string bytes, std::size_t piece = std::string::npos)
        : bytes_(std::move(bytes)), piece_(piece) {}
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
