#include "ui/preview_memo.h"

#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "ui/focus_frame.h"
#include "ui/qt_text.h"

PreviewMemo::PreviewMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

void PreviewMemo::Clear() {
    clear();
    appended_ = 0;
}

void PreviewMemo::AppendLine(std::string_view line) {
    // Appending to an empty document would fill its first line: an empty
    // first line must stay a line of its own.
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    if (appended_ > 0 || !document()->isEmpty()) end.insertBlock();
    end.insertText(toQt(line));
    ++appended_;
}

std::vector<std::string> PreviewMemo::HtmlAsText(const std::vector<std::string>& lines) const {
    // A document of its own: it has no view to load images or links for,
    // and its loader is never asked for anything remote.
    QTextDocument document;
    QString html;
    for (const std::string& line : lines) html += toQt(line) + QLatin1Char('\n');
    document.setHtml(html);
    std::vector<std::string> text;
    for (const QString& line : document.toPlainText().split(QLatin1Char('\n'))) text.push_back(fromQt(line));
    return text;
}

TextFont PreviewMemo::Font() const { return {fromQt(font().family()), font().pointSize()}; }

std::vector<std::string> PreviewMemo::Lines() const {
    std::vector<std::string> lines;
    if (document()->isEmpty() && appended_ == 0) return lines;
    for (const QString& line : toPlainText().split(QLatin1Char('\n'))) lines.push_back(fromQt(line));
    return lines;
}

bool PreviewMemo::event(QEvent* event) {
    const bool handled = QPlainTextEdit::event(event);
    ShowFocusOnFrame(*this, *event);
    return handled;
}
