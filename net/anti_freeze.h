#pragma once
// Keeps the user interface alive while the main thread waits for the network.
// Waits are cut into slices of IdleTimeOut ms; between slices the registered
// anti-freeze lets the window system handle its pending messages. The network
// layer knows no window system: the user interface installs the pump
// (SetMessagePump) that ProcessWaitingMessages runs.
#include <functional>

#include "net/component.h"

class TIdAntiFreeze : public TIdComponent {
public:
    // Runs the window system's pending messages: all of them when
    // `applicationHasPriority`, else at most one waiting message.
    using MessagePump = std::function<void(bool applicationHasPriority)>;

    // Registers itself, replacing any earlier registration.
    TIdAntiFreeze();
    // Clears the registration if it is still the registered one.
    ~TIdAntiFreeze() override;

    bool Active = true;
    bool ApplicationHasPriority = true;
    int IdleTimeOut = 250;
    bool OnlyWhenIdle = true;

    // The length of one wait slice: IdleTimeOut, at least 1 ms (a slice of
    // 0 would never use up a time limit).
    int SliceMs() const { return IdleTimeOut > 1 ? IdleTimeOut : 1; }

    void SetMessagePump(MessagePump pump) { pump_ = std::move(pump); }
    virtual void ProcessWaitingMessages();

private:
    MessagePump pump_;
};

// The registered anti-freeze, or null.
TIdAntiFreeze* RegisteredAntiFreeze();
// An anti-freeze is registered and active, and the caller is the main thread.
bool AntiFreezeInEffect();
// Pumps when the anti-freeze is in effect and (idle, or not OnlyWhenIdle, or
// override, or half a slice has passed since the last pump).
void PumpIfAllowed(bool idle, bool override);
