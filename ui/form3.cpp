#include "ui/form3.h"

#include <QCloseEvent>

#include "app/screener.h"
#include "ui/qt_text.h"

namespace {

QLabel* MakeLabel(QWidget* parent, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, int top) {
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(184, top, 121, 21);
    return edit;
}

QPushButton* MakeButton(QWidget* parent, const QString& text, int left) {
    auto* button = new QPushButton(text, parent);
    button->setGeometry(left, 184, 75, 25);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace

TForm3::TForm3(Screener& screener, QtDialogs& dialogs)
    : FixedDialog(QStringLiteral("Configuration"), QSize(348, 222), dialogs),
      Label1(MakeLabel(this, QStringLiteral("Serveur POP "), 48, 56)),
      Label2(MakeLabel(this, QStringLiteral("Nom utilisateur"), 48, 96)),
      Label3(MakeLabel(this, QStringLiteral("Mot de passe"), 48, 136)),
      Label4(MakeLabel(this, QStringLiteral("Compte n°"), 48, 8)),
      RxSpinEdit1(new TRxSpinEdit(this)),
      Edit1(MakeEdit(this, 56)),
      Edit2(MakeEdit(this, 96)),
      Edit3(MakeEdit(this, 136)),
      Button1(MakeButton(this, QStringLiteral("Enregistrer"), 120)),
      Button2(MakeButton(this, QStringLiteral("Annuler"), 240)),
      logic_(screener.MakeConfigDialog(*this)) {
    QFont bold = Label4->font();
    bold.setBold(true);
    Label4->setFont(bold);
    Label4->adjustSize();
    RxSpinEdit1->setGeometry(120, 6, 41, 22);
    RxSpinEdit1->SetRange(0, 10);
    RxSpinEdit1->SetValue(0);
    Edit3->setEchoMode(QLineEdit::Password);
    Edit3->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, RxSpinEdit1);
    auto selector = [this] { logic_->SelectorClick(); };
    connect(RxSpinEdit1, &TRxSpinEdit::topClick, this, selector);
    connect(RxSpinEdit1, &TRxSpinEdit::bottomClick, this, selector);
    connect(Button1, &QPushButton::clicked, this, [this] { logic_->Save(); });
    connect(Button2, &QPushButton::clicked, this, [this] { logic_->Cancel(); });
}

std::string TForm3::ServerText() const { return fromQt(Edit1->text()); }
std::string TForm3::UserText() const { return fromQt(Edit2->text()); }
std::string TForm3::PasswordText() const { return fromQt(Edit3->text()); }
void TForm3::SetServerText(std::string_view text) { Edit1->setText(toQt(text)); }
void TForm3::SetUserText(std::string_view text) { Edit2->setText(toQt(text)); }
void TForm3::SetPasswordText(std::string_view text) { Edit3->setText(toQt(text)); }
int TForm3::SelectorValue() const { return static_cast<int>(RxSpinEdit1->Value()); }
void TForm3::SetSelectorValue(int value) { RxSpinEdit1->SetValue(value); }
void TForm3::FocusServer() { Edit1->setFocus(Qt::OtherFocusReason); }

void TForm3::CloseDialog() {
    closing_ = true;
    done(QDialog::Rejected);
    closing_ = false;
}

void TForm3::showEvent(QShowEvent* event) {
    FixedDialog::showEvent(event);
    if (!event->spontaneous()) logic_->Show();
}

void TForm3::closeEvent(QCloseEvent* event) {
    // The close box does what "Annuler" does.
    if (!closing_ && isVisible()) logic_->Cancel();
    event->accept();
}
