#pragma once
// A small labelled set that the local learning filter learns from: six
// spams from promo@offres.biz, six meeting notes from claire@amis.fr.
#include <filesystem>
#include <string>
#include <vector>

#include "app/spam_engine.h"

// A header block (CR LF lines, the empty line), then `body`.
std::string MailHeader(const std::string& from, const std::string& subject, const std::string& body = "");
// The subjects' words of each kind, for messages judged afterwards.
inline const std::string kSpammySubject = "Casino lottery winner pills";
inline const std::string kWantedSubject = "Réunion projet compte rendu";
// The set's messages of one kind.
std::vector<std::string> LabelledMessages(SpamLabel label);
// The word list in `words` learns the set.
void TeachSpamWords(const std::filesystem::path& words);
