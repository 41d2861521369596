// TForm2, the friend list dialog.
#pragma once
// The friend list dialog: names sorted, in columns as wide as the box,
// further columns reached by scrolling sideways.
#include "ui/list_dialog.h"

class TForm2 : public TListForm {
    Q_OBJECT
public:
    TForm2(Screener& screener, QtDialogs& dialogs);
};
