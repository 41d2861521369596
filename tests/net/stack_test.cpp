#include "net/stack.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "net/component.h"
#include "net/net_errors.h"
#include "net/socket_error_codes.h"
#include "net/socket_handle.h"
#include "net/tcp_client.h"
#include "platform/text.h"
#include "support/expect_error.h"

namespace {
auto byName = [](const auto& info) { return std::string(info.param.name); };

// Keeps the process-wide stack alive for a test.
struct StackUser : TIdComponent {};

struct LiteralCase {
    const char* name;
    const char* text;
    bool literal;
};
const LiteralCase kLiterals[] = {
    {"private_address", "10.0.0.7", true},
    {"all_zero", "0.0.0.0", true},
    {"top_of_range", "255.255.255.255", true},
    {"field_above_255", "256.1.1.1", false},
    {"three_fields", "1.2.3", false},
    {"empty_fourth_field", "1.2.3.", false},
    {"five_fields", "1.2.3.4.5", false},
    {"negative_field", "1.-2.3.4", false},
    {"blank_in_field", "1. 2.3.4", false},
    {"host_name", "pop.example.fr", false},
    {"empty", "", false},
};
class IsIPv4Literal : public testing::TestWithParam<LiteralCase> {};
TEST_P(IsIPv4Literal, AcceptsFourFieldsInRange) {
    EXPECT_EQ(TIdStack::IsIPv4Literal(GetParam().text), GetParam().literal);
}
INSTANTIATE_TEST_SUITE_P(Rows, IsIPv4Literal, testing::ValuesIn(kLiterals), byName);

// What a host may be for the connect: the addresses tried, in order.
struct AddressCase {
    const char* name;
    const char* host;
    std::vector<std::string> addresses;
};
const AddressCase kAddresses[] = {
    {"ipv6_loopback", "::1", {"::1"}},
    {"ipv6_bracketed", "[::1]", {"::1"}},
    {"ipv6_full", "[2001:db8::7]", {"2001:db8::7"}},
    {"ipv4_unchanged", "10.0.0.7", {"10.0.0.7"}},
    {"localhost_any_case", "LocalHost", {"127.0.0.1"}},
};
class LookUpHostAddresses : public testing::TestWithParam<AddressCase> {};
TEST_P(LookUpHostAddresses, LiteralsWithoutLookup) {
    TIdTCPClient owner;  // keeps the stack alive
    EXPECT_EQ(SocketStack()->LookUpHostAddresses(GetParam().host), GetParam().addresses);
    EXPECT_TRUE(TIdStack::IsIPLiteral(GetParam().host) || GetParam().addresses[0] == "127.0.0.1");
}
INSTANTIATE_TEST_SUITE_P(Rows, LookUpHostAddresses, testing::ValuesIn(kAddresses), byName);

TEST(LookUpHostAddresses, NotIPv6Literals) {
    for (const char* text : {"[::1", "::g", "1.2.3.4", "pop.example.fr", "[]"})
        EXPECT_FALSE(TIdStack::IsIPv6Literal(text)) << text;
}

struct TextCase {
    const char* name;
    int code;
    const char* text;  // UTF-8
};
const TextCase kTexts[] = {
    {"refused", 10061, "Erreur de socket # 10061\r\nConnexion refusée."},
    {"would_block_keeps_trailing_blank", 10035,
     "Erreur de socket # 10035\r\nL'opération risquerait de bloquer. "},
    {"not_empty_has_no_full_stop", 10066, "Erreur de socket # 10066\r\nRépertoire non vide"},
    {"host_not_found", 11001, "Erreur de socket # 11001\r\nHôte non trouvé."},
    {"reset_by_peer", 10054, "Erreur de socket # 10054\r\nConnexion réinitialisée par l'homologue (peer)."},
    {"unknown_code_has_number_only", 12345, "Erreur de socket # 12345\r\n"},
};
class TranslateSocketError : public testing::TestWithParam<TextCase> {};
TEST_P(TranslateSocketError, GivesNumberLineAndText) {
    EXPECT_EQ(TIdStack::TranslateSocketError(GetParam().code), std::string(GetParam().text));
}
INSTANTIATE_TEST_SUITE_P(Rows, TranslateSocketError, testing::ValuesIn(kTexts), byName);

struct ErrnoCase {
    const char* name;
    int error;
    int code;
};
const ErrnoCase kErrnos[] = {
    {"refused", ECONNREFUSED, 10061},
    {"timed_out", ETIMEDOUT, 10060},
    {"reset", ECONNRESET, 10054},
    {"aborted", ECONNABORTED, 10053},
    {"broken_pipe_is_shutdown", EPIPE, 10058},
    {"address_in_use", EADDRINUSE, 10048},
    {"unreachable_host", EHOSTUNREACH, 10065},
    {"would_block", EAGAIN, 10035},
    {"no_counterpart_unchanged", ENOMEM, ENOMEM},
};
class WinsockCodeFromErrno : public testing::TestWithParam<ErrnoCase> {};
TEST_P(WinsockCodeFromErrno, MapsToWinsockNumber) {
    EXPECT_EQ(::WinsockCodeFromErrno(GetParam().error), GetParam().code);
}
INSTANTIATE_TEST_SUITE_P(Rows, WinsockCodeFromErrno, testing::ValuesIn(kErrnos), byName);

TEST(LookUpHost, LocalhostInAnyCaseNeedsNoLookup) {
    StackUser user;
    for (const char* host : {"localhost", "LOCALHOST", "LocalHost"}) {
        EXPECT_EQ(SocketStack()->LookUpHost(host), "127.0.0.1") << host;
    }
}

TEST(LookUpHost, LiteralComesBackUnchanged) {
    StackUser user;
    EXPECT_EQ(SocketStack()->LookUpHost("10.0.0.7"), "10.0.0.7");
}

TEST(LookUpHost, UnresolvableNameIsHostNotFound) {
    StackUser user;
    if (auto e = ExpectThrown<EIdSocketError>([&] { SocketStack()->LookUpHost("no-such-host.invalid"); })) {
        EXPECT_EQ(e->LastError(), 11001);
        EXPECT_EQ(e->Message(), std::string("Erreur de socket # 11001\r\nHôte non trouvé."));
        EXPECT_EQ(SocketStack()->LastError(), 11001);
    }
}

// A listener takes its connections through the stack, and one wait over
// several sockets names only those with something to read.
TEST(SocketHandle, ListenerAcceptsAndTheWaitNamesOnlyTheReadySockets) {
    StackUser user;
    TIdSocketHandle listener;
    listener.IP = "127.0.0.1";
    listener.AllocateSocket();
    listener.Bind();
    listener.Listen(4);
    ASSERT_GT(listener.Port, 0);
    TIdSocketHandle quiet, talking;
    for (TIdSocketHandle* client : {&quiet, &talking}) {
        client->AllocateSocket();
        client->PeerIP = "127.0.0.1";
        client->PeerPort = listener.Port;
        ASSERT_EQ(client->Connect(), 0);
        client->UpdateBindingLocal();
    }
    TIdSocketHandle first, second;
    for (TIdSocketHandle* taken : {&first, &second}) {
        EXPECT_EQ(TIdSocketHandle::ReadableOf({&listener}, 2000), std::vector<TIdSocketHandle*>{&listener});
        ASSERT_TRUE(taken->Accept(listener));
        EXPECT_EQ(taken->Port, listener.Port);
    }
    EXPECT_EQ(first.PeerPort, quiet.Port);
    EXPECT_EQ(second.PeerPort, talking.Port);
    EXPECT_EQ(second.PeerIP, "127.0.0.1");

    ASSERT_EQ(talking.Send("x", 1), 1);
    const std::vector<TIdSocketHandle*> all{&listener, &first, &second};
    EXPECT_EQ(TIdSocketHandle::ReadableOf(all, 2000), std::vector<TIdSocketHandle*>{&second});
    quiet.CloseSocket();  // a peer's close is something to read too
    EXPECT_EQ(TIdSocketHandle::ReadableOf(all, 2000), (std::vector<TIdSocketHandle*>{&first, &second}));
    EXPECT_TRUE(TIdSocketHandle::ReadableOf({&listener}, 50).empty());
}

TEST(CheckSocketResult, ToleratedCodeReturnsTrueOtherCodesThrow) {
    StackUser user;
    TIdStack& stack = *SocketStack();
    EXPECT_FALSE(stack.CheckSocketResult(0));
    stack.WSSetLastError(10053);
    EXPECT_TRUE(stack.CheckSocketResult(-1, {10058, 10053}));
    EXPECT_EQ(stack.LastError(), 10053);
    stack.WSSetLastError(10054);
    EXPECT_THROW(stack.CheckSocketResult(-1, {10058, 10053}), EIdSocketError);
}

TEST(SocketList, HoldsAtMost64Sockets) {
    TIdSocketList list;
    for (int i = 0; i < 64; ++i) list.Add(i);
    if (auto e = ExpectThrown<EIdStackSetSizeExceeded>([&] { list.Add(64); })) {
        EXPECT_EQ(e->Message(), std::string("Taille d'ensemble dépassée."));
    }
}

TEST(SocketStack, LivesWhileAComponentLives) {
    if (SocketStack() != nullptr) GTEST_SKIP() << "another component is alive";
    {
        StackUser a;
        TIdStack* stack = SocketStack();
        ASSERT_NE(stack, nullptr);
        {
            StackUser b;
            EXPECT_EQ(SocketStack(), stack);
        }
        EXPECT_EQ(SocketStack(), stack);
    }
    EXPECT_EQ(SocketStack(), nullptr);
}

TEST(AddressText, RoundTripsFieldsFirstFirst) {
    auto addr = TIdStack::TranslateStringToTInAddr("192.168.1.254");
    EXPECT_EQ(addr[0], 192);
    EXPECT_EQ(addr[3], 254);
    EXPECT_EQ(TIdStack::TranslateTInAddrToString(addr), "192.168.1.254");
}
}  // namespace
