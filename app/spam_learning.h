#pragma once
// Teaching the spam engine what the user decided, each message once: a
// ledger beside the word list names what was taught, under which label.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/outcome.h"
#include "app/scan_record.h"
#include "app/spam_engine.h"

// How the ledger knows a message: "uidl <id>" when the server gave one,
// else "empreinte <header digest>".
std::string LearningKey(const ScanRow& row);
// The key of a message read from a file: the digest of its header lines.
std::string LearningKeyOfText(std::string_view message);

// Teaches `message` as `label` unless the ledger in `words` already has
// `key` under it; a key taught under the other label is forgotten there
// first. False when nothing was to be taught. Throws ESpamEngineError
// (the ledger unchanged then).
bool LearnOnce(SpamEngine& engine, const std::filesystem::path& words, const std::string& key,
               std::string_view message, SpamLabel label);

// Teaches each message file as `label`, once (keyed by its header), in the
// order given: a file, or every file of a Maildir's cur/ and new/. How
// many were taught. Throws ESpamEngineError; a file that cannot be read is
// passed over.
int LearnMessageFiles(SpamEngine& engine, const std::filesystem::path& words,
                      const std::vector<std::filesystem::path>& files, SpamLabel label);
// The message files of the Maildir at `folder`, sorted; empty when none.
std::vector<std::filesystem::path> MaildirFiles(const std::filesystem::path& folder);

// The user's own lesson (the command line's "apprendre"): the messages of
// `files` taught as `label` to the engine the settings name, its word list
// in `words`. Done with how many were new in `taught`; a failure of the
// engine is shown once in `dialogs`.
Outcome TeachFromFiles(Dialogs& dialogs, const std::filesystem::path& settings,
                       const std::filesystem::path& words, const std::vector<std::filesystem::path>& files,
                       SpamLabel label, int& taught);
