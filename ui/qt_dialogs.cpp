#include "ui/qt_dialogs.h"

#include <QPushButton>

#include "ui/qt_text.h"

QString QtDialogs::Show(const QString& caption, QMessageBox::Icon icon, std::string_view text,
                        const QStringList& buttons) {
    // No parent: the box is centred on the screen.
    QMessageBox box(icon, caption, toQt(text));
    box.setTextFormat(Qt::PlainText);
    QPushButton* last = nullptr;
    for (const QString& label : buttons) {
        last = box.addButton(label, QMessageBox::AcceptRole);
        if (!box.defaultButton()) box.setDefaultButton(last);
    }
    box.setEscapeButton(last);
    QAbstractButton* pressed = run(box);
    // The box and its buttons go when this returns: hand back the text.
    return (pressed ? pressed : box.escapeButton())->text();
}

void QtDialogs::Message(std::string_view text) {
    Show(kApplicationTitle, QMessageBox::Information, text, {QStringLiteral("OK")});
}

void QtDialogs::Warning(std::string_view text) {
    Show(kApplicationTitle, QMessageBox::Warning, text, {QStringLiteral("OK")});
}

bool QtDialogs::Confirm(std::string_view question) {
    return Show(QStringLiteral("Confirmation"), QMessageBox::Question, question, {"&Oui", "&Non"}) ==
           QStringLiteral("&Oui");
}

void QtDialogs::Error(std::string_view text) {
    Show(QStringLiteral("Erreur"), QMessageBox::Critical, text, {QStringLiteral("OK")});
}

void QtDialogs::StandardError(std::string_view message) {
    std::string text(message);
    if (text.empty() || text.back() != '.') text += '.';
    Show(kApplicationTitle, QMessageBox::Critical, text, {QStringLiteral("OK")});
}
