#pragma once
// The worker thread of a connect with a time limit: it connects one socket
// record while the main thread waits in slices and keeps the user interface
// alive. The waiting thread can stop it (Terminate); a failed connect leaves
// its message in ExceptionMessage.
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "net/socket_handle.h"

class TIdConnectThread {
public:
    // Created suspended; `binding` must outlive the thread.
    explicit TIdConnectThread(TIdSocketHandle& binding);
    ~TIdConnectThread();
    TIdConnectThread(const TIdConnectThread&) = delete;
    TIdConnectThread& operator=(const TIdConnectThread&) = delete;

    void Start();
    // Waits at most `ms` milliseconds for the thread to end; true once it has.
    bool WaitFor(int ms);
    // Asks the thread to stop and waits for it to end.
    void Terminate();
    bool Terminated();
    // Empty unless the connect failed (after the thread ended).
    const std::string& ExceptionMessage() const { return exceptionMessage_; }

private:
    void Execute();

    TIdSocketHandle& binding_;
    int wake_[2] = {-1, -1};  // a pipe: writing to it stops the connect
    std::thread thread_;
    std::mutex lock_;
    std::condition_variable done_;
    bool terminated_ = false;
    std::string exceptionMessage_;
};
