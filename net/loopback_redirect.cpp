#include "net/loopback_redirect.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "net/net_errors.h"

namespace {

constexpr std::string_view kPage =
    "<!DOCTYPE html><html lang=\"fr\"><head><meta charset=\"utf-8\"><title>Vannoir</title></head>"
    "<body><p>Vannoir a reçu l'autorisation. Vous pouvez fermer cette fenêtre.</p></body></html>";
constexpr std::string_view kRefusedPage =
    "<!DOCTYPE html><html lang=\"fr\"><head><meta charset=\"utf-8\"><title>Vannoir</title></head>"
    "<body><p>Cette demande n'est pas celle qu'attend Vannoir.</p></body></html>";

using Clock = std::chrono::steady_clock;

int LeftMs(Clock::time_point end) {
    return static_cast<int>(std::max<long long>(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count()));
}

// A browser's request head is a few kilobytes, sent at once: a connection
// gets this much room and time, and a few may wait side by side, so that
// neither a stray request nor a silent connection holds the browser's back.
constexpr std::size_t kLargestRequest = 16384;
constexpr auto kRequestTime = std::chrono::seconds(10);
constexpr std::size_t kMostConnections = 8;

struct Connection {
    TIdSocketHandle socket;
    Clock::time_point end;
    std::string bytes;
};

// The target of a GET request head; empty for anything else.
std::string TargetOf(const std::string& head) {
    const std::string line = head.substr(0, head.find("\r\n"));
    if (!line.starts_with("GET ")) return {};
    const std::size_t space = line.find(' ', 4);
    return line.substr(4, space == std::string::npos ? std::string::npos : space - 4);
}

// The page is small enough for any send buffer; a browser that went away
// gets nothing.
void Answer(TIdSocketHandle& socket, std::string_view status, std::string_view page) {
    const std::string answer =
        "HTTP/1.1 " + std::string(status) +
        "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " + std::to_string(page.size()) +
        "\r\nConnection: close\r\n\r\n" + std::string(page);
    std::size_t sent = 0;
    while (sent < answer.size()) {
        const int n = socket.Send(answer.data() + sent, static_cast<int>(answer.size() - sent));
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
}

}  // namespace

LoopbackRedirect::LoopbackRedirect() {
    listener_.IP = "127.0.0.1";
    try {
        listener_.AllocateSocket();
        listener_.Bind();
        listener_.Listen(4);
    } catch (const EIdSocketError&) {
        throw EIdCouldNotBindSocket();
    } catch (const EIdInvalidSocket&) {
        throw EIdCouldNotBindSocket();
    }
}

std::string LoopbackRedirect::Uri() const { return "http://127.0.0.1:" + std::to_string(Port()) + "/"; }

// The user may take minutes in the browser: the wait is the sockets' sliced
// one, the window handling its messages between slices, and a stop request
// (the window's "Arrêter", a signal) ends it with EIdInterrupted.
std::string LoopbackRedirect::WaitForRequest(int limitMs, const Wanted& wanted) {
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(limitMs);
    std::vector<std::unique_ptr<Connection>> open;
    for (;;) {
        Clock::time_point until = end;
        for (std::size_t i = open.size(); i-- > 0;) {
            if (LeftMs(open[i]->end) == 0)
                open.erase(open.begin() + static_cast<std::ptrdiff_t>(i));
            else
                until = std::min(until, open[i]->end);
        }
        std::vector<TIdSocketHandle*> handles{&listener_};
        for (const auto& c : open) handles.push_back(&c->socket);
        const std::vector<TIdSocketHandle*> ready = TIdSocketHandle::ReadableOf(handles, LeftMs(until));
        if (ready.empty()) {
            if (LeftMs(end) == 0) throw ERedirectTimeout();
            continue;
        }
        for (std::size_t i = open.size(); i-- > 0;) {
            Connection& c = *open[i];
            if (std::find(ready.begin(), ready.end(), &c.socket) == ready.end()) continue;
            char chunk[4096];
            const int n = c.socket.Recv(chunk, sizeof chunk);
            if (n <= 0) {
                open.erase(open.begin() + static_cast<std::ptrdiff_t>(i));
                continue;
            }
            c.bytes.append(chunk, static_cast<std::size_t>(n));
            const bool whole = c.bytes.find("\r\n\r\n") != std::string::npos;
            if (!whole && c.bytes.size() <= kLargestRequest) continue;
            const std::string target = whole ? TargetOf(c.bytes) : std::string();
            if (!target.empty() && wanted(target)) {
                Answer(c.socket, "200 OK", kPage);
                return target;
            }
            // Another page of the browser, or another program: not ours.
            Answer(c.socket, "400 Bad Request", kRefusedPage);
            open.erase(open.begin() + static_cast<std::ptrdiff_t>(i));
        }
        if (ready.front() == &listener_) {
            auto c = std::make_unique<Connection>();
            if (!c->socket.Accept(listener_)) continue;
            c->end = Clock::now() + kRequestTime;
            if (open.size() == kMostConnections) open.erase(open.begin());
            open.push_back(std::move(c));
        }
    }
}

std::string QueryValue(std::string_view target, std::string_view name) {
    const std::size_t question = target.find('?');
    if (question == std::string_view::npos) return {};
    std::string_view query = target.substr(question + 1);
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view field = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        const std::size_t equals = field.find('=');
        if (field.substr(0, equals) != name) continue;
        std::string value;
        const std::string_view raw =
            equals == std::string_view::npos ? std::string_view() : field.substr(equals + 1);
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '+') {
                value += ' ';
            } else if (raw[i] == '%' && i + 2 < raw.size()) {
                const std::optional<char> byte = HexPairValue(raw[i + 1], raw[i + 2]);
                if (byte) {
                    value += *byte;
                    i += 2;
                } else {
                    value += raw[i];
                }
            } else {
                value += raw[i];
            }
        }
        return value;
    }
    return {};
}
