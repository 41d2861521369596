#include "ui/form5.h"

TForm5::TForm5(Screener& screener, QtDialogs& dialogs)
    : TListForm(QStringLiteral("Liste d'intrus"), ListKind::Intruders, screener, dialogs) {
    ListBox1->setFlow(QListView::TopToBottom);
    ListBox1->setWrapping(false);
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}
