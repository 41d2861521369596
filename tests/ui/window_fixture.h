#pragma once
// The program's five windows over a scratch program folder, with the
// message boxes answered by a recorder.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenuBar>
#include <QTest>
#include <functional>
#include <string>

#include "box_recorder.h"
#include "support/scratch_folder.h"
#include "support/scripted_pop3_server.h"
#include "ui/vannoir_windows.h"

struct WindowFixture : testing::Test {
    WindowFixture();

    // The settings of slot 1: the local server, anne / secret.
    void WriteAccount();
    // Points the client at `server` (the slot's host is 127.0.0.1).
    void UseServer(const ScriptedPop3Server& server);
    // Shows the main window, which loads the account and the lists.
    void Show();
    // A menu item by its path, e.g. {"Fichier", "Imprimer", "en-têtes"}.
    QAction* MenuItem(std::initializer_list<QString> path) const;
    // Runs `inside` once `dialog` is shown modally by `open`, then closes it
    // with its close box.
    void WhileModal(QWidget* dialog, const std::function<void()>& open, const std::function<void()>& inside);
    // Grid rows 1.. with any cell: number|sender|subject|size|status (UTF-8).
    std::vector<std::string> GridRows() const;
    std::string Status(int panel) const;

    ScratchFolder dir;
    AppPaths paths;
    VannoirWindows windows;
    BoxRecorder boxes;
    TForm1& form1;
    // Print previews the default printer showed.
    int previews = 0;
};
