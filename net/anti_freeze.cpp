#include "net/anti_freeze.h"

#include <atomic>
#include <chrono>

#include "platform/main_thread.h"

namespace {
// The one registration of the process; read from any thread.
std::atomic<TIdAntiFreeze*> gRegistered{nullptr};
// When the window last had its turn; only the main thread pumps.
std::chrono::steady_clock::time_point gLastPump = std::chrono::steady_clock::now();
}  // namespace

TIdAntiFreeze::TIdAntiFreeze() {
    gRegistered.store(this);
    gLastPump = std::chrono::steady_clock::now();
}

TIdAntiFreeze::~TIdAntiFreeze() {
    TIdAntiFreeze* self = this;
    gRegistered.compare_exchange_strong(self, nullptr);
}

void TIdAntiFreeze::ProcessWaitingMessages() {
    if (pump_) pump_(ApplicationHasPriority);
}

TIdAntiFreeze* RegisteredAntiFreeze() { return gRegistered.load(); }

bool AntiFreezeInEffect() {
    if (!IsMainThread()) return false;
    TIdAntiFreeze* af = gRegistered.load();
    return af != nullptr && af->Active;
}

void PumpIfAllowed(bool idle, bool override) {
    if (!AntiFreezeInEffect()) return;
    TIdAntiFreeze* af = gRegistered.load();
    // Data that keeps coming never leaves a wait idle: the window still gets
    // its turn twice a slice, so a long scan never freezes it.
    const auto now = std::chrono::steady_clock::now();
    const bool due = now - gLastPump >= std::chrono::milliseconds(af->SliceMs()) / 2;
    if (idle || !af->OnlyWhenIdle || override || due) {
        gLastPump = now;
        af->ProcessWaitingMessages();
    }
}
