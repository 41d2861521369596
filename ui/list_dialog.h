// TListForm, what the friend and intruder dialogs share.
#pragma once
// A list dialog: the names of one list file in a box, "Supprimer" removes the
// selected one and saves the box. The friend and intruder dialogs differ in
// caption and in how the box lays out its names.
#include <QListWidget>
#include <memory>

#include "app/list_dialog.h"
#include "app/main_lists.h"
#include "ui/fixed_dialog.h"

class QPushButton;
class Screener;

class TListForm : public FixedDialog, public ListBoxView {
    Q_OBJECT
public:
    TListForm(const QString& caption, ListKind kind, Screener& screener, QtDialogs& dialogs);

    std::vector<std::string> Items() const override;
    void SetItems(const std::vector<std::string>& items) override;
    int SelectedIndex() const override;
    void DeleteItem(int index) override;

    QListWidget* ListBox1;
    QPushButton* Button1;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<ListDialog> logic_;
};
