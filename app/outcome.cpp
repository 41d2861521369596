#include "app/outcome.h"

#include <exception>
#include <filesystem>

#include "app/account_overrides.h"
#include "app/deletion_journal.h"
#include "app/sender_list.h"
#include "app/texts.h"
#include "app/window.h"
#include "mime/mime_errors.h"
#include "net/net_errors.h"
#include "net/tls_errors.h"
#include "platform/id_exception.h"
#include "platform/ini_file.h"
#include "platform/temp_file.h"
#include "platform/text.h"
#include "pop3/pop3_errors.h"
#include "pop3/stls_errors.h"

namespace {
template <typename... Errors>
bool IsOneOf(const std::exception& e) {
    return (... || (dynamic_cast<const Errors*>(&e) != nullptr));
}
}  // namespace

Outcome::Fault FaultOf(const std::exception& e) {
    using Fault = Outcome::Fault;
    if (IsOneOf<EIdSocketError, EIdConnectException, EIdConnectTimeout, EIdReadTimeout,
                EIdConnClosedGracefully, EIdClosedSocket, EIdNotConnected, EIdInvalidSocket,
                EIdCouldNotBindSocket, EIdTLSCertificateRefused, EIdTLSHandshakeFailed, EIdTLSNotAvailable,
                EIdPOP3StlsNotOffered, EIdPOP3StlsRefused>(e))
        return Fault::Network;
    if (IsOneOf<EPasswordForOtherHost, EIdPOP3UnsafeCredentials>(e)) return Fault::Account;
    if (IsOneOf<EIniWriteError, EListFileOpenError, EListFileCreateError, EJournalWriteError,
                EIdTempFileError, EIdAttachmentWriteError, std::filesystem::filesystem_error>(e))
        return Fault::LocalFile;
    // Whatever else the protocol, message and MIME layers raise comes from
    // what the server sent.
    if (dynamic_cast<const EIdException*>(&e)) return Fault::Server;
    return Fault::Other;
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
    if (IsOneOf<EIdPOP3LogInRefused>(e)) return Ansi(texts::kCauseLogInRefused);
    if (IsOneOf<EIdConnectException, EIdConnectTimeout, EIdSocketError>(e))
        return Ansi(texts::kCauseUnreachable);
    if (IsOneOf<EIdTLSCertificateRefused>(e)) return Ansi(texts::kCauseCertificate);
    if (IsOneOf<EIdTLSHandshakeFailed, EIdTLSNotAvailable, EIdPOP3StlsNotOffered, EIdPOP3StlsRefused>(e))
        return Ansi(texts::kCauseTls);
    if (IsOneOf<EIdReadTimeout>(e)) return Ansi(texts::kCauseSilent);
    if (IsOneOf<EIdConnClosedGracefully, EIdClosedSocket, EIdNotConnected>(e))
        return Ansi(texts::kCauseDropped);
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
