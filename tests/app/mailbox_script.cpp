#include "mailbox_script.h"

#include "platform/text.h"

std::string Login() { return "S: +OK ready\nC: USER anne\nS: +OK\nC: PASS secret\nS: +OK\n"; }
std::string Stat(int count) { return "C: STAT\nS: +OK " + IntToStr(count) + " " + IntToStr(count * 100) + "\n"; }
std::string Top(int i, std::string_view header) {
    return "C: TOP " + IntToStr(i) + " 0\n" + MultiLineReply("+OK", std::string(header) + "\n\n");
}
std::string List(int i, int size) { return "C: LIST " + IntToStr(i) + "\nS: +OK " + IntToStr(i) + " " + IntToStr(size) + "\n"; }
std::string Dele(int i) { return "C: DELE " + IntToStr(i) + "\nS: +OK\n"; }
std::string Quit() { return "C: QUIT\n"; }
std::string Header(std::string_view from, std::string_view subject) {
    return "From: " + std::string(from) + "\nSubject: " + std::string(subject);
}
std::string Message(int i, std::string_view header, int size) { return Top(i, header) + List(i, size); }

MailboxFixture::MailboxFixture()
    : paths(AppPaths::ForExecutable(dir / "vannoir")), screener(paths, window.View()) {
    screener.FormCreate();
}

void MailboxFixture::UseLists(std::string_view friends, std::string_view intruders) {
    PutFile(paths.friends, friends);
    PutFile(paths.intruders, intruders);
    screener.Lists().LoadBoth();
}

void MailboxFixture::UseServer(const ScriptedPop3Server& server) {
    screener.Actions().SetAccount({"127.0.0.1", "anne", "secret", true});
    screener.Client().Port = server.Port();
}

std::vector<std::string> MailboxFixture::Rows() const {
    std::vector<std::string> rows;
    for (int row = 1; row < window.grid.RowCount(); ++row) {
        std::string joined;
        bool filled = false;
        for (int column : {0, 2, 3, 4, 5}) {
            std::string cell = window.grid.Cell(column, row);
            filled = filled || !cell.empty() || !window.grid.Cell(1, row).empty();
            joined += (column ? "|" : "") + cell;
        }
        if (filled) rows.push_back(joined);
    }
    return rows;
}
