// TForm5, the intruder list dialog.
#include "ui/intruders_dialog.h"

TForm5::TForm5(Screener& screener, QtDialogs& dialogs)
    : TListForm(QStringLiteral("Liste d'intrus"), ListKind::Intruders, screener, dialogs) {
    ListBox1->setFlow(QListView::TopToBottom);
    ListBox1->setWrapping(false);
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}
