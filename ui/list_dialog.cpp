// TListForm, what the friend and intruder dialogs share.
#include "ui/list_dialog.h"

#include <QCloseEvent>
#include <QPushButton>

#include "app/main_window.h"
#include "ui/qt_text.h"

TListForm::TListForm(const QString& caption, ListKind kind, Screener& screener, QtDialogs& dialogs)
    : FixedDialog(caption, QSize(227, 446), dialogs),
      ListBox1(new QListWidget(this)),
      Button1(new QPushButton(QStringLiteral("Supprimer"), this)),
      logic_(screener.MakeListDialog(kind, *this)) {
    ListBox1->setGeometry(0, 0, 225, 385);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    Button1->setGeometry(72, 408, std::max(75, Button1->sizeHint().width()),
                         std::max(25, Button1->sizeHint().height()));
    CloseOnEscape();
    ListBox1->setAccessibleName(caption);
    ListBox1->setAccessibleDescription(
        QStringLiteral("Un nom par ligne ; « Supprimer » retire celui choisi"));
    Button1->setAccessibleDescription(QStringLiteral("Retirer de la liste le nom choisi"));
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, [this] { logic_->DeleteSelected(); });
}

std::vector<std::string> TListForm::Items() const {
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(ListBox1->count()));
    for (int i = 0; i < ListBox1->count(); ++i) items.push_back(fromQt(ListBox1->item(i)->text()));
    return items;
}

void TListForm::SetItems(const std::vector<std::string>& items) {
    ListBox1->clear();
    for (const std::string& item : items) ListBox1->addItem(toQt(item));
}

int TListForm::SelectedIndex() const {
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    return selected.isEmpty() ? -1 : ListBox1->row(selected.first());
}

void TListForm::DeleteItem(int index) { delete ListBox1->takeItem(index); }

void TListForm::showEvent(QShowEvent* event) {
    FixedDialog::showEvent(event);
    if (!event->spontaneous()) logic_->Show();
}

void TListForm::closeEvent(QCloseEvent* event) {
    logic_->Close();
    FixedDialog::closeEvent(event);
}
