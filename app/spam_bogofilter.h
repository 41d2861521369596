#pragma once
// The local learning filter: one process judges a whole scan (its mailbox
// mode, one verdict line per message), one process learns one message.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/spam_engine.h"

struct BogofilterOptions {
    std::filesystem::path words;  // the word list's folder, made on first learning
    std::string program = "bogofilter";
    int limitMs = 10000;         // a whole scan's judgement, or one message learned
    std::function<void()> idle;  // runs while waiting: a window stays alive
};

std::unique_ptr<SpamEngine> MakeBogofilterEngine(const BogofilterOptions& options);

// The engine the settings name, its word list in `words`. Throws
// ESpamEngineError for an engine this build cannot speak to.
std::unique_ptr<SpamEngine> MakeSpamEngine(const SpamSettings& settings, const std::filesystem::path& words,
                                           std::function<void()> idle = {});
