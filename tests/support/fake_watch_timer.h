#pragma once
// The periodic checks' clock, moved by the test: Fire() is the tick.
#include <functional>

#include "app/mailbox_watch.h"

class FakeWatchTimer : public WatchTimer {
public:
    void Start(int ms, std::function<void()> tick) override {
        interval = ms;
        tick_ = std::move(tick);
    }
    void Stop() override { interval = 0; }
    void Fire() {
        if (interval > 0 && tick_) tick_();
    }
    int interval = 0;  // 0: stopped

private:
    std::function<void()> tick_;
};
