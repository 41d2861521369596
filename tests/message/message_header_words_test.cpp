// Encoded words in the headers the screener shows and matches.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "message/message.h"
#include "platform/id_exception.h"

namespace {

TEST(MessageHeaderWords, SubjectFromAndToAreDecodedBeforeUse) {
    TIdMessage message;
    message.HeaderLines.Add("From: =?ISO-8859-1?Q?Dupont=2C_Jean?= <jean@dupont.fr>");
    message.HeaderLines.Add("Subject: =?windows-1252?B?Q2Fm6Q==?= et =?iso-8859-1?q?cr=e8me?=");
    message.HeaderLines.Add("To: =?ISO-8859-1?Q?H=E9l=E8ne?= <helene@x.fr>, paul@x.fr");
    message.ParseHeaderLines();
    EXPECT_EQ(message.From.Name, "Dupont, Jean");
    EXPECT_EQ(message.From.Address, "jean@dupont.fr");
    EXPECT_EQ(message.Subject, "Café et crème");
    ASSERT_EQ(message.Recipients.Count(), 2);
    EXPECT_EQ(message.Recipients[0].Name, "Hélène");
}

TEST(MessageHeaderWords, BadQEscapeAbortsTheHeaderProcessing) {
    TIdMessage message;
    message.HeaderLines.Add("Subject: =?ISO-8859-1?Q?=ZZ?=");
    message.HeaderLines.Add("From: jean@dupont.fr");
    EXPECT_THROW(message.ParseHeaderLines(), EConvertError);
    EXPECT_EQ(message.From.Address, "");  // a later step, never reached
}

TEST(MessageHeaderWords, OutgoingHeadersAreEncodedAndReadBack) {
    TIdMessage message;
    message.From.SetText("Hélène <helene@x.fr>");
    message.Subject = "Café crème";
    message.OnInitializeISO = [](TIdMessage&, TTransfer&, char& letter, std::string& charSet) {
        letter = 'Q';
        charSet = "ISO-8859-1";
    };
    std::unique_ptr<TIdHeaderList> lines = message.BuildHeaderLines();
    EXPECT_EQ(lines->ValueOf("Subject"), "=?ISO-8859-1?Q?Caf=E9_cr=E8me?=");
    TIdMessage received;
    received.HeaderLines.Assign(*lines);
    received.ParseHeaderLines();
    EXPECT_EQ(received.Subject, message.Subject);
    EXPECT_EQ(received.From.Name, "Hélène");
}

}  // namespace
