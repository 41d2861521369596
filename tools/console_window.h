#pragma once
// The window interfaces for a terminal: the grid and the preview pane are
// kept in memory; status texts, messages and questions go to the error
// stream as they come, in UTF-8, their control characters made visible.
#include <ostream>
#include <string>
#include <vector>

#include "app/memory_window.h"
#include "app/window.h"

// One line per status text. A panel 0 text that extends the last one (a
// scan's "12 / 999") is progress: rewritten in place on a terminal, left out
// of anything else.
class ConsoleStatus : public StatusPanels {
public:
    explicit ConsoleStatus(std::ostream& err);
    void SetPanelText(int panel, std::string_view text) override;
    // The count in panel 0's text says as much.
    void SetProgress(int, int) override {}
    // A command line sent to the server, as "> USER anne".
    void CommandSent(std::string_view line);

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
    void Message(std::string_view text) override { Print(text); }
    // The question alone: the rows it names are on the standard output.
    bool Confirm(std::string_view question, const std::vector<std::string>& items) override;
    // The text alone: the command line writes the cause after it.
    void Error(std::string_view text, std::string_view) override { Print(text); }
    void Warning(std::string_view text) override { Print(text); }
    void StandardError(std::string_view text) override { Print(text); }

private:
    void Print(std::string_view text);
    std::ostream& err_;
    bool answer_;
};

class ConsoleCaption : public CaptionView {
public:
    void SetCaption(std::string_view) override {}
};

struct ConsoleWindow {
    ConsoleWindow(std::ostream& err, bool purgeAnswer) : status(err), dialogs(err, purgeAnswer) {}
    MemoryGrid grid;
    ConsoleStatus status;
    ConsoleCursor cursor;
    ConsoleDialogs dialogs;
    ConsoleCaption caption;
    MemoryPreview preview;
    MainWindowView View() { return {grid, status, cursor, dialogs, caption, preview}; }
};
