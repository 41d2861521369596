// TForm2, the friend list dialog.
#include "ui/friends_dialog.h"

TForm2::TForm2(Screener& screener, QtDialogs& dialogs)
    : TListForm(QStringLiteral("Liste d'amis"), ListKind::Friends, screener, dialogs) {
    ListBox1->setFlow(QListView::TopToBottom);
    ListBox1->setWrapping(true);
    ListBox1->setResizeMode(QListView::Adjust);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListBox1->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Each column as wide as the box.
    ListBox1->setGridSize(QSize(ListBox1->width() - 2 * ListBox1->frameWidth(), fontMetrics().height() + 2));
}
