#pragma once
// A screener on a fake window, its files in a scratch folder, for the
// mailbox actions against the scripted POP3 server.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "app/main_window.h"
#include "support/fake_window.h"
#include "support/pop3_script_pieces.h"
#include "support/scratch_folder.h"
#include "support/scripted_pop3_server.h"

struct MailboxFixture : testing::Test {
    MailboxFixture();
    // Friend and intruder list files, loaded into the screener.
    void UseLists(std::string_view friends, std::string_view intruders);
    // Points the client at the server, account anne/secret, whose mail
    // `service` vouches for.
    void UseServer(const ScriptedPop3Server& server, ResultService service = {},
                   bool unknownIsFailed = false);
    // Grid rows as "number|sender|subject|size|status" (the date left out:
    // it depends on the local time zone), "|!cause" after a marked one.
    std::vector<std::string> Rows() const;

    ScratchFolder dir;
    AppPaths paths;
    FakeWindow window;
    Screener screener;
};
