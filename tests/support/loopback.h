#pragma once
// Loopback sockets for tests that need a real peer: a listener on 127.0.0.1,
// a port nobody listens on, and a listener whose queue is full so that a
// connect to it never completes. Every blocking call has a deadline.
#include <chrono>
#include <string>
#include <vector>

// A loopback port with nothing listening on it (a connect is refused).
int UnusedLoopbackPort();

// A listening socket on 127.0.0.1 with an ephemeral port. Closed on
// destruction.
class LoopbackListener {
public:
    explicit LoopbackListener(int backlog = 8);
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int Port() const { return port_; }
    int Fd() const { return fd_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

// A listener that accepts nothing and whose queue has been filled, so that
// the next connect to Port() waits for an answer that never comes.
class UnansweredListener {
public:
    UnansweredListener();
    ~UnansweredListener();
    UnansweredListener(const UnansweredListener&) = delete;
    UnansweredListener& operator=(const UnansweredListener&) = delete;
    int Port() const { return listener_.Port(); }

private:
    LoopbackListener listener_{0};
    std::vector<int> fillers_;
};

// A pipe that wakes a poll() from another thread.
class WakePipe {
public:
    WakePipe();
    ~WakePipe();
    WakePipe(const WakePipe&) = delete;
    WakePipe& operator=(const WakePipe&) = delete;
    int ReadFd() const { return fds_[0]; }
    void Wake();

private:
    int fds_[2] = {-1, -1};
};
