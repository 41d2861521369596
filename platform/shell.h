#pragma once
// Opening a document the way the desktop does (its default application).
#include <filesystem>

class Shell {
public:
    virtual ~Shell() = default;
    // Asks the desktop to open `document`; the result is not reported (a
    // missing document gives no message from the program).
    virtual void Open(const std::filesystem::path& document) = 0;
};

// The desktop's opener ("xdg-open"), started detached.
class DesktopShell : public Shell {
public:
    void Open(const std::filesystem::path& document) override;
};
