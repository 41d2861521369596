// The help and journal windows, as the main window's logic opens them.
#pragma once
#include <QPointer>

#include "app/window.h"

class QWidget;
class HelpWindow;
class JournalWindow;

class DocumentWindows : public DocumentViews {
public:
    // The windows are made on first use, children of `parent`.
    explicit DocumentWindows(QWidget* parent) : parent_(parent) {}
    void ShowHelp(const std::filesystem::path& page) override;
    void ShowJournal(const std::vector<JournalEntry>& entries) override;

private:
    QWidget* parent_;
    QPointer<HelpWindow> help_;
    QPointer<JournalWindow> journal_;
};
