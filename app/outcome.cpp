#include "app/outcome.h"

#include <exception>
#include <filesystem>

#include "app/texts.h"
#include "app/window.h"
#include "platform/id_exception.h"
#include "platform/text.h"

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
    const auto* id = dynamic_cast<const EIdException*>(&e);
    switch (id != nullptr ? id->Cause() : ErrorCause::None) {
        case ErrorCause::LogInRefused:
            return std::string(texts::kCauseLogInRefused);
        case ErrorCause::Unreachable:
            return std::string(texts::kCauseUnreachable);
        case ErrorCause::Certificate:
            return std::string(texts::kCauseCertificate);
        case ErrorCause::Tls:
            return std::string(texts::kCauseTls);
        case ErrorCause::Silent:
            return std::string(texts::kCauseSilent);
        case ErrorCause::Dropped:
            return std::string(texts::kCauseDropped);
        case ErrorCause::None:
            break;
    }
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
