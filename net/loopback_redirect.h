#pragma once
// The loopback redirect of a native application's authorization (RFC 8252,
// 7.3): a listener on 127.0.0.1 at a port the system picks, which takes the
// browser's one request, answers it with a short French page, and hands
// back the request's target ("/?code=…&state=…").
#include <functional>
#include <string>
#include <string_view>

#include "net/component.h"
#include "net/socket_handle.h"
#include "platform/id_exception.h"

VANNOIR_DECLARE_ERROR(ERedirectTimeout, EIdException, Account,
                      "Le navigateur n'est pas revenu à temps : l'autorisation n'a pas abouti.");

// A network component, so that the socket stack lives as long as it does.
class LoopbackRedirect : public TIdComponent {
public:
    // Listens at once. Throws EIdCouldNotBindSocket.
    LoopbackRedirect();

    int Port() const { return listener_.Port; }
    // "http://127.0.0.1:port/".
    std::string Uri() const;
    // Whether a request's target is the one awaited (its state).
    using Wanted = std::function<bool(std::string_view target)>;
    // The target of the first GET request within `limitMs` that `wanted`
    // takes; it is answered with a short page. Any other request (another
    // target, not a GET, a head over 16 KiB) is answered 400 and the wait
    // goes on; a connection gets 10 s to send its request, and a few are
    // read side by side, so that neither a stray request nor a silent
    // connection stops the wait. On the main thread under an anti-freeze
    // the window handles its messages between wait slices. Throws
    // ERedirectTimeout, and EIdInterrupted at a stop request.
    std::string WaitForRequest(int limitMs, const Wanted& wanted);

private:
    TIdSocketHandle listener_;
};

// The value of `name` in the query of a request target, percent-decoded
// ("+" as a blank); nothing when absent.
std::string QueryValue(std::string_view target, std::string_view name);
