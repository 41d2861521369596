#pragma once
// The preview pane: lines of text the user may edit, a vertical scroll bar.
#include <QPlainTextEdit>
#include <string>
#include <vector>

#include "app/window.h"

class PreviewMemo : public QPlainTextEdit, public PreviewPane {
    Q_OBJECT
public:
    explicit PreviewMemo(QWidget* parent);

    void Clear() override;
    void AppendLine(std::string_view line) override;
    // What the pane holds now, line by line (Windows-1252).
    std::vector<std::string> Lines() const override;
    TextFont Font() const override;
    bool ShowsHtmlAsText() const override { return true; }
    std::vector<std::string> HtmlAsText(const std::vector<std::string>& lines) const override;

protected:
    // The frame in the highlight colour while the pane has the focus.
    bool event(QEvent* event) override;

private:
    int appended_ = 0;
};
