#pragma once
// The window interfaces for a terminal: the grid and the preview pane are
// kept in memory for printing at the end; status texts, messages and
// questions go to the error stream as they come, in UTF-8.
#include <array>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/window.h"

class ConsoleGrid : public HeaderGrid {
public:
    int RowCount() const override { return static_cast<int>(rows_.size()); }
    void SetRowCount(int rows) override { rows_.resize(static_cast<std::size_t>(rows < 1 ? 1 : rows)); }
    std::string Cell(int column, int row) const override;
    void SetCell(int column, int row, std::string_view text) override;
    int CurrentRow() const override { return current; }
    // Every row from 1 with a cell filled: six cells joined by tabs, UTF-8.
    std::vector<std::string> FilledRowsUtf8() const;

    int current = 1;

private:
    std::vector<std::array<std::string, 6>> rows_ = std::vector<std::array<std::string, 6>>(1000);
};

// One line per status text. A panel 0 text that extends the last one (a
// scan's "12 / 999") is progress: rewritten in place on a terminal, left out
// of anything else.
class ConsoleStatus : public StatusPanels {
public:
    explicit ConsoleStatus(std::ostream& err);
    void SetPanelText(int panel, std::string_view text) override;

    bool showProgress;  // initially: `err` is the standard error and a terminal

private:
    std::ostream& err_;
    std::string lastStatus_;
    bool progressShown_ = false;
};

class ConsoleCursor : public BusyCursor {
public:
    void SetBusy(bool) override {}
};

class ConsoleDialogs : public Dialogs {
public:
    // `answer`: how the purge question is answered.
    ConsoleDialogs(std::ostream& err, bool answer) : err_(err), answer_(answer) {}
    void Message(std::string_view text) override;
    bool Confirm(std::string_view question) override;
    void Error(std::string_view text) override;
    void Warning(std::string_view text) override;

    // The message of the error behind an error box, printed on the next line.
    std::function<std::string()> underlying;
    // An error or a refusal was shown: the action failed.
    bool failed = false;

private:
    std::ostream& err_;
    bool answer_;
};

class ConsoleCaption : public CaptionView {
public:
    void SetCaption(std::string_view) override {}
};

class ConsolePreview : public PreviewPane {
public:
    void Clear() override { lines.clear(); }
    void AppendLine(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

struct ConsoleWindow {
    ConsoleWindow(std::ostream& err, bool purgeAnswer) : status(err), dialogs(err, purgeAnswer) {}
    ConsoleGrid grid;
    ConsoleStatus status;
    ConsoleCursor cursor;
    ConsoleDialogs dialogs;
    ConsoleCaption caption;
    ConsolePreview preview;
    MainWindowView View() { return {grid, status, cursor, dialogs, caption, preview}; }
};
