#pragma once
// What the periodic checks do, read from and written to the settings file's
// "Surveillance" section.
#include <string>
#include <string_view>
#include <vector>

class TIniFile;

struct WatchSettings {
    int minutes = 0;            // "Minutes": 0 (or less) for no periodic check
    std::vector<int> accounts;  // "Comptes": the accounts checked; empty: every configured one
    bool purge = false;         // "PurgerIntrus": intruders deleted without asking
};

// Never throws; what cannot be read keeps its default, and slots outside
// 0..10 are dropped.
WatchSettings ReadWatchSettings(const TIniFile& ini);
// Throws EIniWriteError.
void WriteWatchSettings(TIniFile& ini, const WatchSettings& settings);
// The purge without asking runs only while the Corbeille keeps copies.
bool PurgeAllowed(const TIniFile& ini);
// "1,3" as slots, each once, in the order given; what is not a slot is left out.
std::vector<int> ParseSlots(std::string_view text);
std::string SlotsText(const std::vector<int>& slots);
// True the first time only: the note that closing the window keeps the
// program in the tray is due ("NoteBarre" then written). Never throws.
bool TakeTrayNote(TIniFile& ini);
