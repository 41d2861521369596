#include "mailbox_script.h"

#include "platform/ini_file.h"
#include "platform/text.h"

MailboxFixture::MailboxFixture()
    : paths(AppPaths::ForExecutable(dir / "vannoir")), screener(paths, window.View()) {
    screener.FormCreate();
}

void MailboxFixture::UseLists(std::string_view friends, std::string_view intruders) {
    PutFile(paths.friends, friends);
    PutFile(paths.intruders, intruders);
    ASSERT_TRUE(screener.LoadLists().IsDone());
}

void MailboxFixture::UseServer(const ScriptedPop3Server& server, ResultService service,
                               bool unknownIsFailed) {
    // The conversations here delete without copies, unless a test says otherwise.
    TIniFile ini(paths.settings);
    if (ini.ReadString("Form", "Corbeille").empty()) ini.WriteString("Form", "Corbeille", "0");
    Account account;
    account.host = "127.0.0.1";
    account.user = "anne";
    account.password = "secret";
    account.configured = true;
    account.port = server.Port();
    account.resultService = std::move(service);
    account.unknownIsFailed = unknownIsFailed;
    screener.SetAccount(account);
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
        if (std::string fault = window.grid.Fault(row); !fault.empty()) joined += "|!" + fault;
        if (filled) rows.push_back(joined);
    }
    return rows;
}
