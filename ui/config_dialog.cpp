// TForm3, the configuration dialog.
#include "ui/config_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <utility>

#include "app/main_window.h"
#include "ui/qt_dialogs.h"
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
    // The caption decides when it needs more than the least size.
    button->setGeometry(left, 184, std::max(75, button->sizeHint().width()),
                        std::max(25, button->sizeHint().height()));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace

TForm3::TForm3(Screener& screener, QtDialogs& dialogs)
    : FixedDialog(QStringLiteral("Configuration"), kClientSize, dialogs),
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
      TestButton(MakeButton(this, QStringLiteral("Tester"), 20)),
      PortLabel(MakeLabel(this, QStringLiteral("Port"), 48, 236)),
      SecurityLabel(MakeLabel(this, QStringLiteral("Sécurité"), 48, 264)),
      FingerprintLabel(MakeLabel(this, QStringLiteral("Empreinte"), 48, 292)),
      PortBox(new QSpinBox(this)),
      SecurityBox(new QComboBox(this)),
      FingerprintEdit(new QLineEdit(this)),
      AddressLabel(MakeLabel(this, QStringLiteral("Adresse"), 48, 320)),
      AuthenticationLabel(MakeLabel(this, QStringLiteral("Authentification"), 48, 348)),
      AddressEdit(new QLineEdit(this)),
      AuthenticationBox(new QComboBox(this)),
      ClientIdLabel(MakeLabel(this, QStringLiteral("Identifiant client"), 48, 376)),
      MechanismLabel(MakeLabel(this, QStringLiteral("Mécanisme"), 48, 404)),
      ClientIdEdit(new QLineEdit(this)),
      MechanismBox(new QComboBox(this)),
      KeyringBox(new QCheckBox(QStringLiteral("Mot de passe dans le &trousseau de clés"), this)),
      KeepDeletedBox(
          new QCheckBox(QStringLiteral("Garder une copie des messages supprimés (Corbeille)"), this)),
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
    setTabOrder(Button2, TestButton);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(8, 222, 332, 2);
    PortBox->setGeometry(184, 234, 121, 21);
    PortBox->setRange(1, 65535);
    SecurityBox->setGeometry(184, 262, 121, 21);
    for (AccountSecurity security : {AccountSecurity::Tls, AccountSecurity::Stls, AccountSecurity::None})
        SecurityBox->addItem(toQt(SecurityKeyword(security)), static_cast<int>(security));
    FingerprintEdit->setGeometry(120, 290, 220, 21);
    FingerprintEdit->setPlaceholderText(QStringLiteral("AB:CD:… (serveur auto-hébergé)"));
    setTabOrder(TestButton, RxSpinEdit1);
    setTabOrder(RxSpinEdit1, PortBox);
    setTabOrder(PortBox, SecurityBox);
    setTabOrder(SecurityBox, FingerprintEdit);
    AddressEdit->setGeometry(120, 318, 220, 21);
    AddressEdit->setPlaceholderText(QStringLiteral("anne@exemple.fr : remplit le reste"));
    AddressEdit->setAccessibleName(QStringLiteral("Adresse"));
    AddressLabel->setBuddy(AddressEdit);
    AuthenticationBox->setGeometry(184, 346, 121, 21);
    for (AccountAuthentication a : {AccountAuthentication::Password, AccountAuthentication::OAuth2})
        AuthenticationBox->addItem(toQt(AuthenticationKeyword(a)), static_cast<int>(a));
    AuthenticationBox->setAccessibleName(QStringLiteral("Authentification"));
    AuthenticationLabel->setBuddy(AuthenticationBox);
    setTabOrder(FingerprintEdit, AddressEdit);
    setTabOrder(AddressEdit, AuthenticationBox);
    ClientIdEdit->setGeometry(160, 374, 180, 21);
    MechanismBox->setGeometry(184, 402, 121, 21);
    MechanismBox->addItem(QStringLiteral("XOAUTH2"), false);
    MechanismBox->addItem(QStringLiteral("OAUTHBEARER"), true);
    setTabOrder(AuthenticationBox, ClientIdEdit);
    setTabOrder(ClientIdEdit, MechanismBox);
    KeyringBox->move(48, 430);
    KeyringBox->adjustSize();
    setTabOrder(MechanismBox, KeyringBox);
    connect(AddressEdit, &QLineEdit::editingFinished, this, [this] { logic_->AddressEntered(); });
    connect(AuthenticationBox, &QComboBox::activated, this, [this] { logic_->AuthenticationChosen(); });
    KeepDeletedBox->setGeometry(8, 456, 332, 21);
    KeepDeletedBox->setAccessibleName(KeepDeletedBox->text());
    setTabOrder(KeyringBox, KeepDeletedBox);
    // Only the user's click writes the setting, not the box filled on showing.
    connect(KeepDeletedBox, &QCheckBox::clicked, this, [this] { logic_->KeepDeletedChosen(); });
    // Only the user's choice moves the port with it.
    connect(SecurityBox, &QComboBox::activated, this, [this] {
        const AccountSecurity previous = std::exchange(shownSecurity_, SecurityValue());
        logic_->SecurityChosen(previous);
    });
    auto selector = [this] { logic_->SelectorClick(); };
    connect(RxSpinEdit1, &TRxSpinEdit::topClick, this, selector);
    connect(RxSpinEdit1, &TRxSpinEdit::bottomClick, this, selector);
    connect(Button1, &QPushButton::clicked, this, [this] { logic_->Save(); });
    connect(Button2, &QPushButton::clicked, this, [this] { logic_->Cancel(); });
    connect(TestButton, &QPushButton::clicked, this, [this] { logic_->Test(); });
    watch_ = std::make_unique<WatchSettingsPart>(screener.Paths().settings, *this, dialogs);
    BuildWatchPart();
    Describe();
}

void TForm3::Describe() {
    // Each label names its field for screen readers.
    const std::pair<QLabel*, QWidget*> pairs[] = {{Label1, Edit1},
                                                  {Label2, Edit2},
                                                  {Label3, Edit3},
                                                  {Label4, RxSpinEdit1},
                                                  {PortLabel, PortBox},
                                                  {SecurityLabel, SecurityBox},
                                                  {FingerprintLabel, FingerprintEdit},
                                                  {ClientIdLabel, ClientIdEdit},
                                                  {MechanismLabel, MechanismBox}};
    for (const auto& [label, field] : pairs) {
        label->setBuddy(field);
        field->setAccessibleName(label->text().trimmed());
    }
    Edit1->setAccessibleDescription(QStringLiteral("Nom ou adresse du serveur POP3 du compte"));
    Edit2->setAccessibleDescription(QStringLiteral("Nom d'utilisateur sur le serveur"));
    Edit3->setAccessibleDescription(QStringLiteral("Mot de passe du compte, masqué"));
    RxSpinEdit1->setAccessibleDescription(QStringLiteral("Numéro du compte modifié, de 0 à 10"));
    PortBox->setAccessibleDescription(QStringLiteral("Port du serveur, de 1 à 65535"));
    SecurityBox->setAccessibleDescription(QStringLiteral("Protection de la connexion : TLS, STLS ou aucune"));
    FingerprintEdit->setAccessibleDescription(QStringLiteral("Empreinte du certificat accepté du serveur"));
    Button1->setAccessibleDescription(QStringLiteral("Enregistrer le compte affiché"));
    Button2->setAccessibleDescription(QStringLiteral("Fermer sans enregistrer"));
    TestButton->setAccessibleName(TestButton->text());
    TestButton->setAccessibleDescription(
        QStringLiteral("Se connecter au serveur avec le compte affiché, sans rien modifier ni enregistrer"));
    AddressEdit->setAccessibleDescription(
        QStringLiteral("Adresse électronique : remplit le serveur, l'utilisateur, le port et la protection"));
    AuthenticationBox->setAccessibleDescription(
        QStringLiteral("Identification par mot de passe ou par jeton OAuth2"));
    ClientIdEdit->setAccessibleDescription(QStringLiteral(
        "Identifiant client OAuth2 enregistré chez le fournisseur ; vide pour celui de la table"));
    MechanismBox->setAccessibleDescription(QStringLiteral("Mécanisme SASL de l'identification OAuth2"));
    KeyringBox->setAccessibleName(QStringLiteral("Mot de passe dans le trousseau de clés"));
    KeyringBox->setAccessibleDescription(
        QStringLiteral("Garder le mot de passe dans le trousseau du bureau plutôt que dans le fichier"));
    KeepDeletedBox->setAccessibleDescription(
        QStringLiteral("Copier chaque message dans la corbeille locale avant de le supprimer du serveur"));
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

bool TForm3::KeepDeletedChecked() const { return KeepDeletedBox->isChecked(); }
void TForm3::SetKeepDeletedChecked(bool keep) { KeepDeletedBox->setChecked(keep); }

int TForm3::PortValue() const { return PortBox->value(); }
void TForm3::SetPortValue(int port) { PortBox->setValue(port); }
AccountSecurity TForm3::SecurityValue() const {
    return static_cast<AccountSecurity>(SecurityBox->currentData().toInt());
}
void TForm3::SetSecurityValue(AccountSecurity security) {
    SecurityBox->setCurrentIndex(SecurityBox->findData(static_cast<int>(security)));
    shownSecurity_ = security;
}
std::string TForm3::FingerprintText() const { return fromQt(FingerprintEdit->text()); }
void TForm3::SetFingerprintText(std::string_view text) { FingerprintEdit->setText(toQt(text)); }

std::string TForm3::AddressText() const { return fromQt(AddressEdit->text()); }
AccountAuthentication TForm3::AuthenticationValue() const {
    return static_cast<AccountAuthentication>(AuthenticationBox->currentData().toInt());
}
void TForm3::SetAuthenticationValue(AccountAuthentication authentication) {
    AuthenticationBox->setCurrentIndex(AuthenticationBox->findData(static_cast<int>(authentication)));
}

std::string TForm3::ClientIdText() const { return fromQt(ClientIdEdit->text()); }
void TForm3::SetClientIdText(std::string_view text) { ClientIdEdit->setText(toQt(text)); }
bool TForm3::OAuthBearerChosen() const { return MechanismBox->currentData().toBool(); }
void TForm3::SetOAuthBearerChosen(bool chosen) { MechanismBox->setCurrentIndex(chosen ? 1 : 0); }
void TForm3::EnableOAuthBoxes(bool enabled) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{ClientIdLabel, ClientIdEdit, MechanismLabel, MechanismBox})
        w->setEnabled(enabled);
}

bool TForm3::KeyringChosen() const { return KeyringBox->isChecked(); }
void TForm3::SetKeyringChosen(bool chosen) { KeyringBox->setChecked(chosen); }

void TForm3::CloseDialog() {
    closing_ = true;
    done(QDialog::Rejected);
    closing_ = false;
}

void TForm3::showEvent(QShowEvent* event) {
    FixedDialog::showEvent(event);
    if (!event->spontaneous()) {
        logic_->Show();
        watch_->Show();
    }
}

void TForm3::closeEvent(QCloseEvent* event) {
    // The close box does what "Annuler" does.
    if (!closing_ && isVisible()) logic_->Cancel();
    event->accept();
}
