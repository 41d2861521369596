#include "window_fixture.h"

#include <QLabel>
#include <QTimer>

#include "account/password_scramble.h"
#include "platform/text.h"
#include "ui/grid_table.h"
#include "ui/qt_printer.h"
#include "ui/status_panels.h"

WindowFixture::WindowFixture()
    : paths(AppPaths::ForExecutable(dir / "vannoir")),
      windows(paths),
      boxes(windows.dialogs),
      form1(*windows.form1) {
    // The default printer's preview is counted, not shown: the job goes on.
    auto printer = std::make_unique<QtPrinter>();
    printer->preview = [this](QPrintPreviewDialog&) {
        ++previews;
        return true;
    };
    form1.UsePrinter(std::move(printer));
}

void WindowFixture::WriteAccount() {
    PutFile(paths.settings, "[Form]\r\nNbre=1\r\nServeur1=127.0.0.1\r\nNom1=anne\r\nPasse1=" +
                                ScramblePassword("secret", [] { return 65; }) + "\r\nCorbeille=0\r\n");
    // As the program writes it: readable by its owner only.
    std::filesystem::permissions(paths.settings,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

void WindowFixture::UseServer(const ScriptedPop3Server& server) {
    Account account = form1.Logic().CurrentAccount();
    account.port = server.Port();
    form1.Logic().SetAccount(account);
}

void WindowFixture::Show() {
    windows.ShowMain();
    form1.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&form1));
    QCoreApplication::processEvents();  // the account and lists load after the showing
}

QAction* WindowFixture::MenuItem(std::initializer_list<QString> path) const {
    QList<QAction*> actions = form1.menuBar()->actions();
    QAction* found = nullptr;
    for (const QString& text : path) {
        found = nullptr;
        for (QAction* action : actions)
            if (action->text() == text || QString(action->text()).remove(QLatin1Char('&')) == text)
                found = action;
        if (!found) return nullptr;
        if (found->menu()) actions = found->menu()->actions();
    }
    return found;
}

void WindowFixture::WhileModal(QWidget* dialog, const std::function<void()>& open,
                               const std::function<void()>& inside) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
        ran = true;
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(dialog->isModal());
        QCoreApplication::processEvents();  // the delayed layouts
        inside();
        dialog->close();
    });
    open();
    EXPECT_TRUE(ran);
    EXPECT_FALSE(dialog->isVisible());
}

std::vector<std::string> WindowFixture::GridRows() const {
    std::vector<std::string> rows;
    for (int row = 1; row < form1.StringGrid1->RowCount(); ++row) {
        std::string line;
        bool filled = false;
        for (int column = 0; column < 6; ++column) {
            if (column == 1) continue;  // the date depends on the local time zone
            std::string cell = form1.StringGrid1->Cell(column, row);
            filled = filled || !cell.empty();
            line += (column ? "|" : "") + cell;
        }
        if (filled) rows.push_back(line);
    }
    return rows;
}

std::string WindowFixture::Status(int panel) const {
    return form1.StatusBar1->Panel(panel)->text().toStdString();
}
