// JournalWindow, the journal of deletions inside the program.
#pragma once
// The journal of deletions as a read-only table, for a desktop without a
// program to open it: a row per deletion, oldest first. Esc closes it.
#include <vector>

#include "app/deletion_journal.h"
#include "ui/document_dialog.h"

class QTableWidget;

class JournalWindow : public DocumentDialog {
    Q_OBJECT
public:
    explicit JournalWindow(QWidget* parent);
    void ShowEntries(const std::vector<JournalEntry>& entries);
    QTableWidget* Table;
};
