#pragma once
// What the screening logic needs of the windows. The Qt windows implement
// these; tests use recording fakes. All texts are UTF-8.
#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The header grid: row 0 holds the headings, rows 1.. one message each.
// A column is what it holds (0 number, 1 date, 2 sender, 3 subject, 4 size,
// 5 status), wherever the user has dragged it on screen. The grid shows the
// scan's rows; the screening logic keeps the rows themselves.
inline constexpr int kGridColumns = 6;
using GridRow = std::array<std::string, kGridColumns>;

class HeaderGrid {
public:
    virtual ~HeaderGrid() = default;
    virtual int RowCount() const = 0;
    // Grows or shrinks the grid; new cells are empty, row 0 is kept.
    virtual void SetRowCount(int rows) = 0;
    // Exactly the bytes SetCell or SetRow stored; empty outside the grid.
    virtual std::string Cell(int column, int row) const = 0;
    // Ignored outside the grid.
    virtual void SetCell(int column, int row, std::string_view text) = 0;
    // The six cells of a row at once (ignored outside the grid).
    virtual void SetRow(int row, const GridRow& cells) = 0;
    // Marks a row whose header could not be read all through, `cause` as
    // its explanation (the window: italic, the cause as tooltip). Ignored
    // outside the grid.
    virtual void SetRowFault(int row, std::string_view cause) = 0;
    // What the row's status means beyond its mark (why a sender is
    // suspect), `note` as its explanation (the window: the status cell's
    // tooltip and accessible description). Ignored outside the grid.
    virtual void SetRowNote(int row, std::string_view note) = 0;
    // Sets the row count and empties every row but row 0 (their marks too),
    // in one call.
    virtual void ClearRows(int rows) = 0;
    // The account of a row of the all-accounts scan: the grid shows its
    // account column ("Compte") from then until the next ClearRows. A grid
    // without that column (the command line's) shows nothing more.
    virtual void SetRowAccount(int /*row*/, std::string_view /*account*/) {}
    // The row the user selected (the current row of a selected range).
    virtual int CurrentRow() const = 0;
};

// Status bar: panel 0 the connection status, panel 1 the message count.
class StatusPanels {
public:
    virtual ~StatusPanels() = default;
    virtual void SetPanelText(int panel, std::string_view text) = 0;
    // The bar beside panel 0's text: `done` of `total`; a total of 0 hides it.
    virtual void SetProgress(int done, int total) = 0;
};

class BusyCursor {
public:
    virtual ~BusyCursor() = default;
    // true: the busy (hourglass) cursor; false: the default one.
    virtual void SetBusy(bool busy) = 0;
};

// Modal message boxes.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Plain box: the application title, one "OK" button.
    virtual void Message(std::string_view text) = 0;
    // Caption "Confirmation", buttons "&Oui" and "&Non", "&Non" the default
    // (Enter and Esc answer it); `items`, one a line, listed under the
    // question in a scrolling box. True only for "&Oui".
    virtual bool Confirm(std::string_view question, const std::vector<std::string>& items) = 0;
    // Caption "Erreur", error icon, one "OK" button; `details`, when not
    // empty, under the text (what caused the error).
    virtual void Error(std::string_view text, std::string_view details) = 0;
    // A warning that does not stop the action (the window shows a plain box).
    virtual void Warning(std::string_view text) = 0;
    // The application's standard error box: the application title, an error
    // icon, one "OK" button. `text` already ends in ".".
    virtual void StandardError(std::string_view text) = 0;
};

class CaptionView {
public:
    virtual ~CaptionView() = default;
    virtual void SetCaption(std::string_view text) = 0;
};

// A font by name and size in points.
struct TextFont {
    std::string name;
    int pointSize = 0;
};

// The preview pane: lines of text, which the user may edit.
class PreviewPane {
public:
    virtual ~PreviewPane() = default;
    virtual void Clear() = 0;
    virtual void AppendLine(std::string_view line) = 0;
    // The lines as the pane holds them now (the user's edits included).
    virtual std::vector<std::string> Lines() const = 0;
    // The pane's font (the message print uses it).
    virtual TextFont Font() const = 0;
    // A pane for readers shows an HTML part as the text it reads as, and
    // only the plain text of a message that offers both; a pane that
    // records the message (the command line's) shows every part as it is.
    virtual bool ShowsHtmlAsText() const { return false; }
    // The text of HTML `lines`, loading nothing from elsewhere.
    virtual std::vector<std::string> HtmlAsText(const std::vector<std::string>& lines) const { return lines; }
};

struct JournalEntry;

// The program's own windows for the documents the desktop would open: used
// when no desktop program opens them. Each is shown, or brought to the front.
class DocumentViews {
public:
    virtual ~DocumentViews() = default;
    // The help page, its links followed inside its folder.
    virtual void ShowHelp(const std::filesystem::path& page) = 0;
    // The journal of deletions, a row per entry, oldest first, read-only.
    virtual void ShowJournal(const std::vector<JournalEntry>& entries) = 0;
};

// The main window's parts, as the actions reach them.
struct MainWindowView {
    HeaderGrid& grid;
    StatusPanels& status;
    BusyCursor& cursor;
    Dialogs& dialogs;
    CaptionView& caption;
    PreviewPane& preview;
};
