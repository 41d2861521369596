#pragma once
// The spam engine's settings: the settings file's "Antispam" section.
#include "app/spam_engine.h"

class TIniFile;

// Never throws: an unknown engine name is bogofilter, what cannot be read
// keeps its default, a password that no stored form decodes is empty.
SpamSettings ReadSpamSettings(const TIniFile& ini);
// The password stored as the accounts' are, removed when empty. Throws
// EIniWriteError.
void WriteSpamSettings(TIniFile& ini, const SpamSettings& settings);
