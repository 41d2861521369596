#pragma once
// Pieces of fake-server scripts for the mailbox actions, and a fixture with
// a screener on a fake window, its files in a scratch folder.
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "app/screener.h"
#include "support/fake_window.h"
#include "support/scratch_folder.h"
#include "support/scripted_pop3_server.h"

// Greeting, USER anne / PASS secret accepted.
std::string Login();
// STAT answered with `count` messages.
std::string Stat(int count);
// TOP i 0 answered with `header` (lines separated by "\n") and a blank line.
std::string Top(int i, std::string_view header);
// LIST i answered "+OK i size".
std::string List(int i, int size);
std::string Dele(int i);
std::string Quit();
// A header block "From: <from>" and "Subject: <subject>".
std::string Header(std::string_view from, std::string_view subject);
// TOP and LIST of a message of `size` octets.
std::string Message(int i, std::string_view header, int size);

struct MailboxFixture : testing::Test {
    MailboxFixture();
    // Friend and intruder list files, loaded into the screener.
    void UseLists(std::string_view friends, std::string_view intruders);
    // Points the client at the server, account anne/secret.
    void UseServer(const ScriptedPop3Server& server);
    // Grid rows as "number|sender|subject|size|status" (the date left out:
    // it depends on the local time zone).
    std::vector<std::string> Rows() const;

    ScratchFolder dir;
    AppPaths paths;
    FakeWindow window;
    Screener screener;
};
