#include "ui/qt_dialogs.h"

#include <QGridLayout>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/qt_text.h"

QString QtDialogs::Show(QMessageBox& box, const QStringList& buttons, bool defaultLast) {
    box.setTextFormat(Qt::PlainText);
    QPushButton* last = nullptr;
    for (const QString& label : buttons) {
        last = box.addButton(label, QMessageBox::AcceptRole);
        if (!box.defaultButton()) box.setDefaultButton(last);
    }
    if (defaultLast) box.setDefaultButton(last);
    box.setEscapeButton(last);
    QAbstractButton* pressed = run(box);
    // The box and its buttons go when this returns: hand back the text.
    return (pressed ? pressed : box.escapeButton())->text();
}

QString QtDialogs::Show(const QString& caption, QMessageBox::Icon icon, std::string_view text,
                        const QStringList& buttons) {
    // No parent: the box is centred on the screen.
    QMessageBox box(icon, caption, toQt(text));
    return Show(box, buttons);
}

void QtDialogs::Message(std::string_view text) {
    Show(kApplicationTitle, QMessageBox::Information, text, {QStringLiteral("OK")});
}

void QtDialogs::Warning(std::string_view text) {
    Show(kApplicationTitle, QMessageBox::Warning, text, {QStringLiteral("OK")});
}

bool QtDialogs::Confirm(std::string_view question, const std::vector<std::string>& items) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirmation"), toQt(question));
    if (!items.empty()) {
        // However many there are, the list scrolls inside a box of its own.
        auto* list = new QPlainTextEdit(&box);
        list->setReadOnly(true);
        list->setLineWrapMode(QPlainTextEdit::NoWrap);
        list->setAccessibleName(QStringLiteral("Messages concernés"));
        QStringList lines;
        for (const std::string& item : items) lines << toQt(item);
        list->setPlainText(lines.join(QLatin1Char('\n')));
        list->setMinimumSize(420, 160);
        list->setFocusPolicy(Qt::ClickFocus);
        auto* grid = static_cast<QGridLayout*>(box.layout());
        grid->addWidget(list, grid->rowCount(), 0, 1, grid->columnCount());
    }
    return Show(box, {QStringLiteral("&Oui"), QStringLiteral("&Non")}, true) == QStringLiteral("&Oui");
}

void QtDialogs::Error(std::string_view text, std::string_view details) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Erreur"), toQt(text));
    if (!details.empty()) box.setInformativeText(toQt(details));
    Show(box, {QStringLiteral("OK")});
}

void QtDialogs::StandardError(std::string_view message) {
    std::string text(message);
    if (text.empty() || text.back() != '.') text += '.';
    Show(kApplicationTitle, QMessageBox::Critical, text, {QStringLiteral("OK")});
}
