// TForm4, the about box.
#pragma once
// The about box.
#include <QLabel>
#include <QPushButton>

#include "ui/fixed_dialog.h"

class TForm4 : public FixedDialog {
    Q_OBJECT
public:
    explicit TForm4(QtDialogs& dialogs);

    QLabel *Image1, *Label1, *Label2;
    QPushButton* Button1;
};
