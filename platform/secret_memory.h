#pragma once
// Passwords in this process's memory: no core file holds them, no other
// process of the user may read them, and the copies made to send one are
// wiped once it is sent.
#include <string>

// Core dumps off (RLIMIT_CORE 0) and the process not dumpable, so that
// neither a crash nor a signal such as SIGQUIT writes memory to disk. Called
// first thing by both programs. Returns false when either call failed.
bool KeepSecretsOutOfCoreDumps();

// Overwrites the bytes of `secret` with zeros, in a way the compiler keeps,
// then empties it.
void WipeSecret(std::string& secret);

// A copy of a secret that is wiped however its scope ends.
class WipedSecret {
public:
    explicit WipedSecret(std::string text) : text_(std::move(text)) {}
    ~WipedSecret() { WipeSecret(text_); }
    WipedSecret(const WipedSecret&) = delete;
    WipedSecret& operator=(const WipedSecret&) = delete;
    std::string& Text() { return text_; }

private:
    std::string text_;
};
