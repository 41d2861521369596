// HelpWindow, the help page inside the program.
#pragma once
// The help page in a window of its own, for a desktop without a program to
// open it. Links are followed inside the help folder only, pictures read
// from it only: nothing is loaded from the network. Esc closes it.
#include <QTextBrowser>
#include <filesystem>

#include "ui/document_dialog.h"

class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget* parent);
    // The page shown and the folder its links may reach.
    void ShowPage(const std::filesystem::path& page);
    // A link the user chose: followed when it stays in the help folder.
    void Follow(const QUrl& link);
    QVariant loadResource(int type, const QUrl& name) override;

private:
    std::filesystem::path page_;
};

class HelpWindow : public DocumentDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent);
    void ShowPage(const std::filesystem::path& page);
    HelpBrowser* Browser;
};
