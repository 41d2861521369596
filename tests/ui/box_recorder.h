#pragma once
// Answers the message boxes of a QtDialogs without showing them, and keeps
// what each box looked like.
#include <QAbstractButton>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <deque>
#include <string>
#include <vector>

#include "ui/qt_dialogs.h"

struct ShownBox {
    std::string caption, text;  // UTF-8
    QMessageBox::Icon icon;
    std::vector<std::string> buttons;
    std::string details;  // the text under the main one
    std::string listed;   // the lines of the box's list, "\n" between them
    // "caption|text" for short comparisons.
    std::string Summary() const { return caption + "|" + text; }
};

class BoxRecorder {
public:
    // Until it goes, `dialogs` answers with the queued button texts (the
    // escape button when none is left); kEnter presses the default button.
    explicit BoxRecorder(QtDialogs& dialogs) : dialogs_(dialogs), saved_(dialogs.run) {
        dialogs.run = [this](QMessageBox& box) { return Answer(box); };
    }
    ~BoxRecorder() { dialogs_.run = saved_; }

    static inline const QString kEnter = QStringLiteral("\n");
    std::deque<QString> answers;
    std::vector<ShownBox> shown;

private:
    QAbstractButton* Answer(QMessageBox& box) {
        ShownBox record{box.windowTitle().toStdString(),
                        box.text().toStdString(),
                        box.icon(),
                        {},
                        box.informativeText().toStdString(),
                        {}};
        // A list scrolls in a text box of its own.
        if (const auto* list = box.findChild<QPlainTextEdit*>())
            record.listed = list->toPlainText().toStdString();
        QAbstractButton* pressed = nullptr;
        if (!answers.empty() && answers.front() == kEnter) pressed = box.defaultButton();
        for (QAbstractButton* button : box.buttons()) {
            record.buttons.push_back(button->text().toStdString());
            if (!answers.empty() && button->text() == answers.front()) pressed = button;
        }
        if (!answers.empty()) answers.pop_front();
        shown.push_back(std::move(record));
        return pressed;
    }

    QtDialogs& dialogs_;
    QtDialogs::Runner saved_;
};
