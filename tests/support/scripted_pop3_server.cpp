#include "support/scripted_pop3_server.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "support/script_text.h"

using Clock = std::chrono::steady_clock;

// One accepted connection: reads client lines and sends server bytes, every
// wait bounded by the server's deadline and cut short by its wake pipe.
class ScriptedPop3Server::Session {
public:
    Session(ScriptedPop3Server& server, int fd) : server_(server), fd_(fd) {
        int one = 1;
        setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }

    // Waits until the socket is readable; false on deadline or stop.
    bool WaitReadable() {
        for (;;) {
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(server_.deadline_ - Clock::now());
            if (left.count() <= 0) return false;
            pollfd fds[2] = {{fd_, POLLIN, 0}, {server_.wake_.ReadFd(), POLLIN, 0}};
            int r = poll(fds, 2, static_cast<int>(left.count()));
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) return false;
            // What the client already sent is read before a stop is honoured:
            // the test may end before this thread got to its last lines.
            if (fds[0].revents != 0) return true;
            return false;
        }
    }

    // The next client line with its line end; "" when the client closed
    // first (`closed` set) or on deadline/stop.
    std::string ReadLine(bool& closed) {
        closed = false;
        for (;;) {
            std::size_t lf = input_.find('\n');
            if (lf != std::string::npos) {
                std::string line = input_.substr(0, lf + 1);
                input_.erase(0, lf + 1);
                return line;
            }
            if (!WaitReadable()) return "";
            char buffer[4096];
            ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) {
                closed = true;
                return "";
            }
            input_.append(buffer, static_cast<std::size_t>(n));
        }
    }

    void Send(std::string_view bytes) {
        std::size_t piece = chunk_ == 0 ? bytes.size() : chunk_;
        for (std::size_t at = 0; at < bytes.size(); at += piece) {
            std::string_view part = bytes.substr(at, piece);
            if (send(fd_, part.data(), part.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(part.size())) {
                server_.Fail("the client went away while the server was sending");
                return;
            }
        }
    }

    // Reads until the client closes; returns the complete and partial lines.
    std::vector<std::string> DrainUntilClosed(bool& closed) {
        std::vector<std::string> lines;
        for (;;) {
            std::string line = ReadLine(closed);
            if (line.empty()) break;
            lines.push_back(line);
        }
        if (closed && !input_.empty()) lines.push_back(std::exchange(input_, ""));
        return lines;
    }

    // Reads on until nothing came for `quiet`, then takes every byte not read
    // yet, cut into lines (a last partial one included).
    std::vector<std::string> TakeUnread(std::chrono::milliseconds quiet) {
        for (;;) {
            pollfd fds[1] = {{fd_, POLLIN, 0}};
            if (poll(fds, 1, static_cast<int>(quiet.count())) <= 0 || Clock::now() > server_.deadline_) break;
            char buffer[4096];
            ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            input_.append(buffer, static_cast<std::size_t>(n));
        }
        std::vector<std::string> lines;
        for (std::size_t lf; (lf = input_.find('\n')) != std::string::npos; input_.erase(0, lf + 1))
            lines.push_back(input_.substr(0, lf + 1));
        if (!input_.empty()) lines.push_back(std::exchange(input_, ""));
        return lines;
    }

    std::size_t chunk_ = 0;

private:
    ScriptedPop3Server& server_;
    int fd_;
    std::string input_;
};

namespace {
std::string WithoutLineEnd(std::string line) {
    if (!line.empty() && line.back() == '\n') line.pop_back();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

int AcceptWithin(int listener, int wakeFd, Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return -1;
    pollfd fds[2] = {{listener, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    if (poll(fds, 2, static_cast<int>(left.count())) <= 0 || fds[1].revents != 0) return -1;
    return accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
}
}  // namespace

ScriptedPop3Server::ScriptedPop3Server(std::string_view script, std::chrono::milliseconds deadline)
    : steps_(ParsePop3Script(script)), deadline_(Clock::now() + deadline) {
    thread_ = std::thread([this] { Run(); });
}

ScriptedPop3Server::~ScriptedPop3Server() {
    wake_.Wake();
    thread_.join();
    if (!checked_ && !ok_) ADD_FAILURE() << "fake POP3 server script failed:\n" << transcript_;
}

std::vector<std::string> ScriptedPop3Server::Commands() const {
    std::lock_guard<std::mutex> guard(lock_);
    return commands_;
}

std::vector<std::string> ScriptedPop3Server::Dropped() const {
    std::lock_guard<std::mutex> guard(lock_);
    return dropped_;
}

std::string ScriptedPop3Server::Transcript() const {
    std::lock_guard<std::mutex> guard(lock_);
    return transcript_;
}

bool ScriptedPop3Server::WaitFinished(std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> guard(lock_);
    checked_ = true;
    if (!done_.wait_for(guard, wait, [this] { return finished_; })) return false;
    return ok_;
}

void ScriptedPop3Server::ExpectFinished(std::chrono::milliseconds wait) {
    if (!WaitFinished(wait)) ADD_FAILURE() << "fake POP3 server script not followed:\n" << Transcript();
}

void ScriptedPop3Server::Record(std::string line) {
    std::lock_guard<std::mutex> guard(lock_);
    transcript_ += line;
    transcript_ += '\n';
}

void ScriptedPop3Server::Fail(std::string why) {
    std::lock_guard<std::mutex> guard(lock_);
    ok_ = false;
    transcript_ += "!! " + why + "\n";
}

void ScriptedPop3Server::Run() {
    int fd = AcceptWithin(listener_.Fd(), wake_.ReadFd(), deadline_);
    if (fd < 0) {
        Fail("no client connected");
    } else {
        RunSteps(fd);
    }
    if (fd >= 0) close(fd);
    std::lock_guard<std::mutex> guard(lock_);
    finished_ = true;
    done_.notify_all();
}

void ScriptedPop3Server::RunSteps(int& fd) {
    auto session = std::make_unique<Session>(*this, fd);
    bool ended = false;
    bool afterQuit = false;  // the last step read the client's QUIT
    // A server closes once it has read QUIT; the script need not say so.
    auto closeAfterQuit = [&] {
        if (!afterQuit || ended) return;
        Record("!! server closes after QUIT");
        shutdown(fd, SHUT_WR);
    };
    // Reads whatever the client still sends until it closes; those lines are
    // recorded, and count as a fault when `extraIsFault`.
    auto finish = [&](bool extraIsFault) {
        bool closed = false;
        for (std::string& line : session->DrainUntilClosed(closed)) {
            std::string command = WithoutLineEnd(line);
            {
                std::lock_guard<std::mutex> guard(lock_);
                commands_.push_back(command);
            }
            Record("--> " + PrintableBytes(line));
            if (extraIsFault) Fail("the client sent more than the script: " + PrintableBytes(line));
        }
        if (!closed) Fail("the client did not close the connection in time");
        ended = true;
    };
    for (const Step& step : steps_) {
        const bool quitRead = afterQuit;
        afterQuit = false;
        switch (step.kind) {
            case Step::Send:
                Record("<-- " + PrintableBytes(step.text));
                session->Send(step.text + "\r\n");
                break;
            case Step::Raw:
                Record("<-- (no line end) " + PrintableBytes(step.text));
                session->Send(step.text);
                break;
            case Step::Chunk:
                session->chunk_ = static_cast<std::size_t>(step.number);
                break;
            case Step::Pause:
                std::this_thread::sleep_for(std::chrono::milliseconds(step.number));
                break;
            case Step::Expect: {
                bool closed = false;
                std::string line = session->ReadLine(closed);
                if (line.empty()) {
                    Fail(std::string(closed ? "the client closed" : "no client line in time") +
                         "; expected: " + PrintableBytes(step.text));
                    return;
                }
                {
                    std::lock_guard<std::mutex> guard(lock_);
                    commands_.push_back(WithoutLineEnd(line));
                }
                Record("--> " + PrintableBytes(line));
                if (line != step.text + "\r\n") {
                    Fail("expected: " + PrintableBytes(step.text + "\r\n"));
                    return;
                }
                afterQuit = step.text == "QUIT";
                break;
            }
            case Step::Close:
                Record("!! server closes");
                shutdown(fd, SHUT_WR);
                finish(true);
                break;
            case Step::Reset: {
                Record("!! server resets");
                linger abort{1, 0};
                setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
                close(fd);
                fd = -1;
                ended = true;
                break;
            }
            case Step::Drop:
                for (std::string& line : session->TakeUnread(std::chrono::milliseconds(200))) {
                    Record("!! dropped " + PrintableBytes(line));
                    std::lock_guard<std::mutex> guard(lock_);
                    dropped_.push_back(WithoutLineEnd(std::move(line)));
                }
                break;
            case Step::Stall:
                Record("!! server stalls");
                finish(false);
                break;
            case Step::Next:
                afterQuit = quitRead;
                closeAfterQuit();
                if (!ended) finish(true);
                if (fd >= 0) close(fd);
                fd = AcceptWithin(listener_.Fd(), wake_.ReadFd(), deadline_);
                if (fd < 0) {
                    Fail("no second client connected");
                    return;
                }
                Record("!! next connection");
                session = std::make_unique<Session>(*this, fd);
                ended = false;
                break;
        }
    }
    closeAfterQuit();
    if (!ended) finish(true);
}
