// TForm5, the intruder list dialog.
#pragma once
// The intruder list dialog: names in file order, one column, vertical scrolling.
#include "ui/list_dialog.h"

class TForm5 : public TListForm {
    Q_OBJECT
public:
    TForm5(Screener& screener, QtDialogs& dialogs);
};
