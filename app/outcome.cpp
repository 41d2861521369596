#include "app/outcome.h"

#include <exception>
#include <filesystem>

#include "app/texts.h"
#include "app/window.h"
#include "net/net_errors.h"
#include "net/tls_errors.h"
#include "platform/id_exception.h"
#include "platform/text.h"
#include "pop3/pop3_errors.h"
#include "pop3/stls_errors.h"

namespace {

template <typename... Errors>
bool IsOneOf(const std::exception& e) {
    return (... || (dynamic_cast<const Errors*>(&e) != nullptr));
}

}  // namespace

Outcome::Fault FaultOf(ErrorKind kind) {
    switch (kind) {
        case ErrorKind::Server:
            return Outcome::Fault::Server;
        case ErrorKind::Network:
            return Outcome::Fault::Network;
        case ErrorKind::Account:
            return Outcome::Fault::Account;
        case ErrorKind::LocalFile:
            return Outcome::Fault::LocalFile;
        case ErrorKind::Other:
            break;
    }
    return Outcome::Fault::Other;
}

Outcome::Fault FaultOf(const std::exception& e) {
    if (const auto* id = dynamic_cast<const EIdException*>(&e)) return FaultOf(id->Kind());
    // The file system's own errors are about local files.
    if (dynamic_cast<const std::filesystem::filesystem_error*>(&e)) return Outcome::Fault::LocalFile;
    return Outcome::Fault::Other;
}

Outcome::Fault FaultOf(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return FaultOf(e);
    } catch (...) {
        return Outcome::Fault::Other;
    }
}

std::string CauseOf(const std::exception& e) {
    if (IsOneOf<EIdPOP3LogInRefused>(e)) return std::string(texts::kCauseLogInRefused);
    if (IsOneOf<EIdConnectException, EIdConnectTimeout, EIdSocketError>(e))
        return std::string(texts::kCauseUnreachable);
    if (IsOneOf<EIdTLSCertificateRefused>(e)) return std::string(texts::kCauseCertificate);
    if (IsOneOf<EIdTLSHandshakeFailed, EIdTLSNotAvailable, EIdPOP3StlsNotOffered, EIdPOP3StlsRefused>(e))
        return std::string(texts::kCauseTls);
    if (IsOneOf<EIdReadTimeout>(e)) return std::string(texts::kCauseSilent);
    if (IsOneOf<EIdConnClosedGracefully, EIdClosedSocket, EIdNotConnected>(e))
        return std::string(texts::kCauseDropped);
    return {};
}

std::string StandardErrorText(const std::string& message) {
    if (!message.empty() && message.back() == '.') return message;
    return message + ".";
}

Outcome RunShowingErrors(Dialogs& dialogs, const std::function<void()>& action) {
    std::string message;
    Outcome::Fault fault = Outcome::Fault::Other;
    try {
        action();
        return Outcome::Done();
    } catch (const EIdException& e) {
        message = e.Message();
        fault = FaultOf(e);
    } catch (const std::exception& e) {
        // Library errors (file system, allocation) reach the user the same way.
        message = e.what();
        fault = FaultOf(e);
    }
    // No server takes part in these actions: what is not local is no server's fault.
    if (fault == Outcome::Fault::Server) fault = Outcome::Fault::Other;
    std::string text = StandardErrorText(message);
    dialogs.StandardError(text);
    return Outcome::Failed(std::move(text), Trim(message), fault);
}
