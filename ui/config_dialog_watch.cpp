// TForm3, the configuration dialog: its "Surveillance" part.
#include <QGroupBox>

#include "app/watch_texts.h"
#include "ui/config_dialog.h"
#include "ui/qt_text.h"

void TForm3::BuildWatchPart() {
    auto* group = new QGroupBox(toQt(watch_texts::kGroupTitle), this);
    group->setGeometry(8, 480, 332, 86);
    auto* every = new QLabel(toQt(watch_texts::kEveryLabel), group);
    every->move(8, 22);
    every->adjustSize();
    MinutesBox = new QSpinBox(group);
    MinutesBox->setGeometry(264, 20, 60, 21);
    MinutesBox->setRange(0, 24 * 60);
    every->setBuddy(MinutesBox);
    MinutesBox->setAccessibleName(every->text());
    auto* accounts = new QLabel(toQt(watch_texts::kAccountsLabel), group);
    accounts->move(8, 46);
    accounts->adjustSize();
    AccountsEdit = new QLineEdit(group);
    AccountsEdit->setGeometry(224, 44, 100, 21);
    accounts->setBuddy(AccountsEdit);
    AccountsEdit->setAccessibleName(accounts->text());
    PurgeBox = new QCheckBox(toQt(watch_texts::kPurgeLabel), group);
    PurgeBox->setGeometry(8, 66, 316, 18);
    PurgeBox->setAccessibleName(PurgeBox->text());
    MinutesBox->setAccessibleDescription(
        QStringLiteral("Intervalle des vérifications automatiques, en minutes ; 0 pour aucune"));
    AccountsEdit->setAccessibleDescription(
        QStringLiteral("Numéros des comptes vérifiés, séparés par des virgules ; vide pour tous"));
    PurgeBox->setAccessibleDescription(
        QStringLiteral("Pendant une vérification automatique, détruire les intrus sans poser de question"));
    setTabOrder(KeepDeletedBox, MinutesBox);
    setTabOrder(MinutesBox, AccountsEdit);
    setTabOrder(AccountsEdit, PurgeBox);
    // Only the user's changes write, not the boxes filled on showing.
    connect(MinutesBox, &QSpinBox::editingFinished, this, [this] { watch_->Chosen(); });
    connect(AccountsEdit, &QLineEdit::editingFinished, this, [this] { watch_->Chosen(); });
    connect(PurgeBox, &QCheckBox::clicked, this, [this] { watch_->Chosen(); });
}

int TForm3::MinutesValue() const { return MinutesBox->value(); }
void TForm3::SetMinutesValue(int minutes) { MinutesBox->setValue(minutes); }
std::string TForm3::AccountsText() const { return fromQt(AccountsEdit->text()); }
void TForm3::SetAccountsText(std::string_view text) { AccountsEdit->setText(toQt(text)); }
bool TForm3::PurgeChecked() const { return PurgeBox->isChecked(); }
void TForm3::SetPurgeChecked(bool purge) { PurgeBox->setChecked(purge); }
