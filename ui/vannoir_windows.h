#pragma once
// The program's five windows, created in order (the main window first), and
// the message boxes they share.
#include <QApplication>
#include <memory>

#include "account/app_paths.h"
#include "ui/about_dialog.h"
#include "ui/config_dialog.h"
#include "ui/friends_dialog.h"
#include "ui/intruders_dialog.h"
#include "ui/main_window.h"
#include "ui/qt_dialogs.h"

// Application-wide settings: the desktop's sans-serif font at 8 points.
void PrepareApplication(QApplication& app);

struct VannoirWindows {
    explicit VannoirWindows(const AppPaths& paths);
    // Shows the main window centred on the screen (its first showing loads
    // the account and the lists).
    void ShowMain();

    QtDialogs dialogs;
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm3> form3;
    std::unique_ptr<TForm4> form4;
    std::unique_ptr<TForm5> form5;
};

class SingleInstance;
// The program: nothing at all when another copy runs; else the windows until
// the main window closes, then 0. Without a display it says so in one line
// and exits with 1.
int RunVannoir(int& argc, char** argv, SingleInstance& marker, const std::filesystem::path& executable);
