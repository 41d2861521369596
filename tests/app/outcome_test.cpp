#include "app/outcome.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>

#include "app/account_overrides.h"
#include "app/mailbox_errors.h"
#include "mime/mime_errors.h"
#include "net/net_errors.h"
#include "net/tls_errors.h"
#include "platform/ini_file.h"
#include "pop3/pop3_errors.h"
#include "pop3/stls_errors.h"

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
};
class FaultOfError : public testing::TestWithParam<FaultCase> {};
TEST_P(FaultOfError, ComesFromItsClass) { EXPECT_EQ(FaultOf(GetParam().error()), GetParam().fault); }
INSTANTIATE_TEST_SUITE_P(Table, FaultOfError, testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
