#pragma once
// Plain base of the internet classes (decoders, message, message parts):
// no status or work events. Objects are owned by value or by unique_ptr and
// destroyed through this base, so the destructor is virtual; they are not
// copied implicitly.
class TIdBaseComponent {
public:
    TIdBaseComponent() = default;
    virtual ~TIdBaseComponent() = default;
    TIdBaseComponent(const TIdBaseComponent&) = delete;
    TIdBaseComponent& operator=(const TIdBaseComponent&) = delete;
};
