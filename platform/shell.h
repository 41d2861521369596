#pragma once
// Opening a document the way the desktop does (its default application).
#include <filesystem>

class Shell {
public:
    virtual ~Shell() = default;
    // Asks the desktop to open `document`. False when nothing on the desktop
    // will open it (no opener, or the opener found no program for it); the
    // caller then shows it itself.
    virtual bool Open(const std::filesystem::path& document) = 0;
};

// The desktop's opener ("xdg-open"), started detached.
class DesktopShell : public Shell {
public:
    // The opener reports a missing program within this time; one still
    // running after it has started a program that holds the document.
    static constexpr int kAnswerWaitMs = 2000;
    bool Open(const std::filesystem::path& document) override;
};
