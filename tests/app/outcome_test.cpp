#include "app/outcome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <regex>
#include <set>
#include <sstream>
#include <typeinfo>

#include "account/account_overrides.h"
#include "account/settings_exposure.h"
#include "app/deletion_journal.h"
#include "app/mailbox_errors.h"
#include "app/sender_list.h"
#include "app/spam_engine.h"
#include "message/message_errors.h"
#include "mime/mime_errors.h"
#include "net/net_errors.h"
#include "net/tls_errors.h"
#include "platform/ini_file.h"
#include "platform/interruption.h"
#include "platform/printer.h"
#include "platform/registry.h"
#include "platform/string_list.h"
#include "platform/temp_file.h"
#include "pop3/pop3_errors.h"
#include "pop3/stls_errors.h"
#include "support/test_data.h"

namespace {

using Fault = Outcome::Fault;

struct FaultCase {
    const char* name;
    std::function<std::exception_ptr()> error;
    Fault fault;
};
template <typename E, typename... Args>
std::function<std::exception_ptr()> Raise(Args... args) {
    return [=] { return std::make_exception_ptr(E(args...)); };
}
const FaultCase kFaults[] = {
    {"refused_log_in", Raise<EIdProtocolReplyError>(2, std::string("mauvais mot de passe")), Fault::Server},
    {"reply_neither_ok_nor_err", Raise<EIdPOP3UnrecognisedReply>(), Fault::Server},
    {"header_without_end", Raise<EIdHeaderTooLarge>(), Fault::Server},
    {"count_no_mailbox_holds", Raise<EMailboxTooLarge>(std::string("trop")), Fault::Server},
    {"connection_refused", Raise<EIdSocketError>(10061, std::string("refus")), Fault::Network},
    {"deletions_sent_ahead_unanswered", Raise<EIdPOP3BatchUnanswered>(), Fault::Network},
    {"connect_time_limit", Raise<EIdConnectTimeout>(), Fault::Network},
    {"read_time_limit", Raise<EIdReadTimeout>(), Fault::Network},
    {"server_closed", Raise<EIdConnClosedGracefully>(), Fault::Network},
    {"tls_handshake", Raise<EIdTLSHandshakeFailed>(), Fault::Network},
    {"stls_not_offered", Raise<EIdPOP3StlsNotOffered>(), Fault::Network},
    {"password_for_another_host", Raise<EPasswordForOtherHost>(std::string("autre")), Fault::Account},
    {"settings_not_written", Raise<EIniWriteError>(std::filesystem::path("/x/vannoir.INI"), 28),
     Fault::LocalFile},
    {"attachment_not_written", Raise<EIdAttachmentWriteError>(), Fault::LocalFile},
    {"out_of_memory", Raise<std::bad_alloc>(), Fault::Other},
    {"answer_of_another_message", Raise<EIdPOP3AnswerMismatch>(), Fault::Server},
    {"file_system", Raise<std::filesystem::filesystem_error>(std::string("x"), std::error_code()),
     Fault::LocalFile},
};
class FaultOfError : public testing::TestWithParam<FaultCase> {};
TEST_P(FaultOfError, ComesFromItsClass) { EXPECT_EQ(FaultOf(GetParam().error()), GetParam().fault); }
INSTANTIATE_TEST_SUITE_P(Table, FaultOfError, testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

// The error classes the sources declare, by name: each header of error
// declarations is read.
std::set<std::string> ErrorClassesOfTheSources() {
    const std::regex declared(R"(VANNOIR_DECLARE_(?:CAUSED_)?ERROR\(\s*(\w+)|class (E\w+) : public E\w+)");
    std::set<std::string> names;
    const std::filesystem::path root =
        std::filesystem::path(TestDataPath("x")).parent_path().parent_path().parent_path();
    for (const char* folder :
         {"platform", "net", "message", "mime", "pop3", "account", "app", "tools", "ui"}) {
        if (!std::filesystem::exists(root / folder)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(root / folder)) {
            if (entry.path().extension() != ".h") continue;
            std::ifstream in(entry.path());
            std::stringstream text;
            text << in.rdbuf();
            const std::string content = text.str();
            for (std::sregex_iterator m(content.begin(), content.end(), declared), end; m != end; ++m)
                names.insert((*m)[1].matched ? (*m)[1].str() : (*m)[2].str());
        }
    }
    names.erase("EIdException");
    names.erase("Name");  // the declaring macro's own parameter
    return names;
}

// A new error class states its kind where it is declared, or does not
// compile; the fault it stands for follows from that kind alone.
TEST(FaultOfError, EveryDeclaredClassHasTheFaultOfItsKind) {
    const std::map<ErrorKind, Fault> faultOfKind = {{ErrorKind::Server, Fault::Server},
                                                    {ErrorKind::Network, Fault::Network},
                                                    {ErrorKind::Account, Fault::Account},
                                                    {ErrorKind::LocalFile, Fault::LocalFile},
                                                    {ErrorKind::Other, Fault::Other}};
    std::set<std::string> walked;
    for (const DeclaredError& declared : DeclaredErrors()) {
        SCOPED_TRACE(declared.name);
        walked.insert(declared.name);
        try {
            std::rethrow_exception(declared.sample());
        } catch (const EIdException& e) {
            EXPECT_NE(std::string(typeid(e).name()).find(declared.name), std::string::npos);
            EXPECT_EQ(FaultOf(e), faultOfKind.at(e.Kind()));
        }
    }
    EXPECT_EQ(walked, ErrorClassesOfTheSources()) << "every class of the sources is walked";
}

// The cause a failed session shows comes with the error's class; every
// other class leaves its own message to say it.
TEST(CauseOfError, EveryDeclaredClassShowsTheCauseItStandsFor) {
    const std::map<std::string, std::string> causes = {
        {"EIdPOP3LogInRefused", "Mot de passe refusé par le serveur"},
        {"EIdConnectException", "Serveur injoignable"},
        {"EIdConnectTimeout", "Serveur injoignable"},
        {"EIdSocketError", "Serveur injoignable"},
        {"EIdTLSCertificateRefused", "Certificat refusé"},
        {"EIdTLSHandshakeFailed", "Chiffrement (TLS) impossible"},
        {"EIdTLSNotAvailable", "Chiffrement (TLS) impossible"},
        {"EIdPOP3StlsNotOffered", "Chiffrement (TLS) impossible"},
        {"EIdPOP3StlsRefused", "Chiffrement (TLS) impossible"},
        {"EIdReadTimeout", "Le serveur ne répond plus"},
        {"EIdConnClosedGracefully", "Le serveur a coupé la connexion"},
        {"EIdClosedSocket", "Le serveur a coupé la connexion"},
        {"EIdNotConnected", "Le serveur a coupé la connexion"},
    };
    std::size_t caused = 0;
    for (const DeclaredError& declared : DeclaredErrors()) {
        SCOPED_TRACE(declared.name);
        try {
            std::rethrow_exception(declared.sample());
        } catch (const EIdException& e) {
            const auto cause = causes.find(declared.name);
            EXPECT_EQ(CauseOf(e), cause == causes.end() ? std::string() : cause->second);
            caused += cause != causes.end();
        }
    }
    EXPECT_EQ(caused, causes.size()) << "every class with a cause is declared";
    EXPECT_EQ(CauseOf(std::bad_alloc()), "");
}

}  // namespace
