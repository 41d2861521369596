// TForm4, the about box.
#include "ui/about_dialog.h"

#include "app/texts.h"
#include "ui/app_icon.h"

TForm4::TForm4(QtDialogs& dialogs)
    : FixedDialog(QStringLiteral("A propos de ..."), QSize(194, 162), dialogs),
      Image1(new QLabel(this)),
      Label1(new QLabel(QStringLiteral("VANNOIR"), this)),
      // The number the command line prints, written the French way.
      Label2(new QLabel(
          QStringLiteral("Version ") +
              QString::fromLatin1(texts::kVersion.data(), texts::kVersion.size()).replace('.', ','),
          this)),
      Button1(new QPushButton(QStringLiteral("OK"), this)) {
    Image1->setGeometry(8, 24, 33, 33);
    Image1->setPixmap(AppIcon().pixmap(32, 32));
    Image1->setAttribute(Qt::WA_TranslucentBackground);
    QFont big = Label1->font();
    big.setPointSize(18);
    big.setBold(true);
    Label1->setFont(big);
    // The title's font decides its box; the figures are the least size.
    const QSize title = Label1->sizeHint().expandedTo(QSize(125, 29));
    Label1->setGeometry(56, 24, title.width(), title.height());
    Label1->setStyleSheet(QStringLiteral("color: #ff0000; background-color: #000080;"));
    Label2->move(64, std::max(72, Label1->geometry().bottom() + 12));
    Label2->adjustSize();
    const QSize button = Button1->sizeHint().expandedTo(QSize(75, 25));
    Button1->setGeometry(56, std::max(128, Label2->geometry().bottom() + 16), button.width(),
                         button.height());
    setFixedSize(QSize(std::max({194, Label1->geometry().right() + 14, Label2->geometry().right() + 14}),
                       std::max(162, Button1->geometry().bottom() + 10)));
    CloseOnEscape();
    Button1->setAccessibleDescription(QStringLiteral("Fermer la boîte"));
    Image1->setAccessibleName(QStringLiteral("Icône de Vannoir"));
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}
