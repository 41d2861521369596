// TForm1, the main window: keyboard and screen readers.
// The main window for the keyboard and for screen readers: shortcuts, and
// an accessible name and description on every control.
#include <QLabel>
#include <QShortcut>

#include "ui/grid_table.h"
#include "ui/main_window.h"
#include "ui/preview_fields.h"
#include "ui/preview_memo.h"
#include "ui/spin_edit.h"
#include "ui/status_panels.h"

namespace {

void Name(QWidget* widget, const QString& name, const QString& description) {
    widget->setAccessibleName(name);
    widget->setAccessibleDescription(description);
}

}  // namespace

void TForm1::AddShortcuts() {
    // Suppr deletes only from the grid: in the pane it deletes text.
    auto* remove = new QShortcut(QKeySequence::Delete, StringGrid1, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, &TForm1::BitBtn3Click);
    // The buttons tell their keys.
    BitBtn1->setToolTip(QStringLiteral("Consulter les en-têtes (F5)"));
    BitBtn2->setToolTip(QStringLiteral("Lire le message choisi (Entrée)"));
    BitBtn3->setToolTip(QStringLiteral("Supprimer le message choisi (Suppr)"));
    BitBtn4->setToolTip(QStringLiteral("Ajouter l'expéditeur aux amis"));
    BitBtn5->setToolTip(QStringLiteral("Ajouter l'expéditeur aux intrus"));
}

void TForm1::Describe() {
    Label2->setBuddy(RxSpinEdit1);
    Name(RxSpinEdit1, QStringLiteral("Compte N°"), QStringLiteral("Numéro du compte consulté, de 0 à 10"));
    Name(BitBtn1, BitBtn1->text(), BitBtn1->toolTip());
    Name(BitBtn2, BitBtn2->text(), BitBtn2->toolTip());
    Name(BitBtn3, BitBtn3->text(), BitBtn3->toolTip());
    Name(BitBtn4, BitBtn4->text(), BitBtn4->toolTip());
    Name(BitBtn5, BitBtn5->text(), BitBtn5->toolTip());
    Name(StringGrid1, QStringLiteral("En-têtes des messages"),
         QStringLiteral("Un message par ligne : date, expéditeur, sujet, taille, statut (A ami, I intrus)"));
    Name(Memo1, QStringLiteral("Aperçu du message"), QStringLiteral("Lignes du message choisi"));
    Name(PreviewFields1->Subject, QStringLiteral("Sujet"), PreviewFields1->Subject->accessibleDescription());
    Name(PreviewFields1->Date, QStringLiteral("Date"), PreviewFields1->Date->accessibleDescription());
    Name(PreviewFields1->Sender, QStringLiteral("Expéditeur"),
         PreviewFields1->Sender->accessibleDescription());
    Name(StatusBar1, QStringLiteral("Barre d'état"),
         QStringLiteral("État de la connexion et nombre de messages"));
}
