#include "app/scan_progress.h"

#include "platform/text.h"

ScanProgress::ScanProgress(StatusPanels& status, std::string statusText, int total,
                           std::chrono::milliseconds interval)
    : status_(status),
      statusText_(std::move(statusText)),
      total_(total),
      interval_(interval),
      last_(std::chrono::steady_clock::now()) {}

void ScanProgress::Done(int done) {
    const auto now = std::chrono::steady_clock::now();
    if (done == total_ ? !shown_ : now - last_ < interval_) return;
    last_ = now;
    shown_ = true;
    status_.SetPanelText(0, statusText_ + " " + IntToStr(done) + " / " + IntToStr(total_));
    status_.SetProgress(done, total_);
}
