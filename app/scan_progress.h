#pragma once
// How far a scan has come, shown in status panel 0 after the connection's
// status text ("Connecté. 12 / 999") and in the bar beside it, at most once per interval so that a
// long scan does not spend its time repainting the status bar.
#include <chrono>
#include <string>

#include "app/window.h"

class ScanProgress {
public:
    static constexpr std::chrono::milliseconds kInterval{250};

    ScanProgress(StatusPanels& status, std::string statusText, int total,
                 std::chrono::milliseconds interval = kInterval);
    // Message `done` of the total is in. The last one is shown whenever an
    // earlier one was, so the panel never stays on a count short of the end.
    void Done(int done);

private:
    StatusPanels& status_;
    std::string statusText_;
    int total_;
    std::chrono::milliseconds interval_;
    std::chrono::steady_clock::time_point last_;
    bool shown_ = false;
};
