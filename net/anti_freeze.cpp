#include "net/anti_freeze.h"

#include <atomic>

#include "platform/main_thread.h"

namespace {
// The one registration of the process; read from any thread.
std::atomic<TIdAntiFreeze*> gRegistered{nullptr};
}  // namespace

TIdAntiFreeze::TIdAntiFreeze() { gRegistered.store(this); }

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
    if (idle || !af->OnlyWhenIdle || override) af->ProcessWaitingMessages();
}
