#include "net/connect_thread.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>

#include "net/net_errors.h"

TIdConnectThread::TIdConnectThread(TIdSocketHandle& binding) : binding_(binding) {
    if (pipe2(wake_, O_CLOEXEC) != 0) throw EIdInvalidSocket();
}

TIdConnectThread::~TIdConnectThread() {
    if (thread_.joinable()) Terminate();
    close(wake_[0]);
    close(wake_[1]);
}

void TIdConnectThread::Start() {
    thread_ = std::thread([this] { Execute(); });
}

void TIdConnectThread::Execute() {
    std::string message;
    try {
        // 10009 and 10038 are what a connect stopped under the thread gives.
        SocketStack()->CheckSocketResult(binding_.Connect(wake_[0]), {Id_WSAEBADF, Id_WSAENOTSOCK});
    } catch (const EIdException& e) {
        message = e.Message();
    } catch (const std::exception& e) {
        message = e.what();
    }
    std::lock_guard<std::mutex> guard(lock_);
    exceptionMessage_ = std::move(message);
    terminated_ = true;
    done_.notify_all();
}

bool TIdConnectThread::WaitFor(int ms) {
    std::unique_lock<std::mutex> guard(lock_);
    return done_.wait_for(guard, std::chrono::milliseconds(ms), [this] { return terminated_; });
}

void TIdConnectThread::Terminate() {
    char wake = 1;
    [[maybe_unused]] ssize_t written = write(wake_[1], &wake, 1);
    if (thread_.joinable()) thread_.join();
}

bool TIdConnectThread::Terminated() {
    std::lock_guard<std::mutex> guard(lock_);
    return terminated_;
}
