#pragma once
// Every message box of the program: the three boxes the screening logic
// asks for and the standard error box of the handlers. Button texts are set
// here, never left to a translation. Tests replace `run` to answer a box
// without showing it.
#include <QMessageBox>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/window.h"

class QtDialogs : public Dialogs {
public:
    // Shows the built box modally and returns the button pressed (the box's
    // escape button when it was closed).
    using Runner = std::function<QAbstractButton*(QMessageBox&)>;

    void Message(std::string_view text) override;
    bool Confirm(std::string_view question, const std::vector<std::string>& items) override;
    void Error(std::string_view text, std::string_view details) override;
    void Warning(std::string_view text) override;
    // The application's standard error box: the error's message with a "."
    // added when it lacks one, under the application title.
    void StandardError(std::string_view message) override;

    Runner run = [](QMessageBox& box) {
        box.exec();
        return box.clickedButton();
    };

    static inline const QString kApplicationTitle = QStringLiteral("Vannoir");

private:
    // The text of the button pressed. The first button is the default
    // unless `defaultLast`; the last one always answers Esc.
    QString Show(QMessageBox& box, const QStringList& buttons, bool defaultLast = false);
    QString Show(const QString& caption, QMessageBox::Icon icon, std::string_view text,
                 const QStringList& buttons);
};
