#include "ui/journal_window.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/texts.h"
#include "ui/qt_text.h"

JournalWindow::JournalWindow(QWidget* parent)
    : DocumentDialog(parent), Table(new QTableWidget(0, static_cast<int>(kJournalFields.size()), this)) {
    setWindowTitle(toQt(texts::kJournalMenuItem));
    QStringList headings;
    for (const JournalField& field : kJournalFields) headings << toQt(field.heading);
    Table->setHorizontalHeaderLabels(headings);
    Table->setAccessibleName(toQt(texts::kJournalMenuItem));
    Table->setAccessibleDescription(
        QStringLiteral("Les messages détruits, un par ligne, du plus ancien au plus récent"));
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->verticalHeader()->hide();
    Table->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Table);
    const QFontMetrics metrics(font());
    resize(metrics.averageCharWidth() * 150, metrics.height() * 30);
}

void JournalWindow::ShowEntries(const std::vector<JournalEntry>& entries) {
    Table->clearContents();
    Table->setRowCount(static_cast<int>(entries.size()));
    for (int r = 0; r < Table->rowCount(); ++r) {
        const JournalEntry& entry = entries[static_cast<std::size_t>(r)];
        for (int c = 0; c < Table->columnCount(); ++c) {
            const QString text = toQt(entry.*kJournalFields[static_cast<std::size_t>(c)].field);
            auto* item = new QTableWidgetItem(text);
            item->setToolTip(text);
            Table->setItem(r, c, item);
        }
    }
    Table->resizeColumnsToContents();
    if (Table->rowCount() > 0) Table->scrollToBottom();
}
