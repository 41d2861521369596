#pragma once
// A slow link on loopback for benchmarks: a relay from 127.0.0.1 to a
// loopback port that holds every byte `delay` before passing it on, in both
// directions. One connection at a time, the next one accepted when it ends.
// What it holds is bounded (reading stops while a direction holds 4 MB), and
// it stops with the object.
//
//   DelayProxy link(dovecot.port, std::chrono::milliseconds(10));
//   client.Port = link.Port();
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "support/loopback.h"

class DelayProxy {
public:
    DelayProxy(int targetPort, std::chrono::milliseconds delay);
    ~DelayProxy();
    DelayProxy(const DelayProxy&) = delete;
    DelayProxy& operator=(const DelayProxy&) = delete;

    int Port() const { return listener_.Port(); }
    // Every byte the server has sent through the link so far.
    std::uint64_t BytesToClient() const { return toClient_; }

private:
    void Run();
    // Relays between the two sockets until both directions have ended;
    // false when stopped.
    bool Relay(int client, int server);

    LoopbackListener listener_;
    WakePipe wake_;
    int targetPort_;
    std::chrono::milliseconds delay_;
    std::atomic<std::uint64_t> toClient_{0};
    std::thread thread_;
};
