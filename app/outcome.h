#pragma once
// What a user action came to, for callers that go on from it (the command
// line's exit status, a test): done, refused with the reason the user was
// shown, or failed with the box text and the error behind it. The user has
// already been told; an outcome is never shown again.
#include <functional>
#include <string>

class Dialogs;

struct Outcome {
    enum class Kind { Done, Refused, Failed };
    Kind kind = Kind::Done;
    std::string shown;       // the box text (Windows-1252); empty when nothing was shown
    std::string underlying;  // a failure's own error message, trimmed

    static Outcome Done() { return {}; }
    static Outcome Refused(std::string shown) { return {Kind::Refused, std::move(shown), {}}; }
    static Outcome Failed(std::string shown, std::string underlying) {
        return {Kind::Failed, std::move(shown), std::move(underlying)};
    }
    bool IsDone() const { return kind == Kind::Done; }
    bool IsRefused() const { return kind == Kind::Refused; }
    bool IsFailed() const { return kind == Kind::Failed; }
};

// The standard error box's text for an error message: the message with a
// final "." added when it has none.
std::string StandardErrorText(const std::string& message);

// Runs a non-mailbox action. An error it raises is shown once in the
// standard error box and becomes a failed outcome; nothing escapes.
Outcome RunShowingErrors(Dialogs& dialogs, const std::function<void()>& action);
