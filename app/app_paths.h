#pragma once
// Where the program keeps its files: beside its executable.
#include <filesystem>

struct AppPaths {
    std::filesystem::path settings;   // "<executable without extension>.INI"
    std::filesystem::path friends;    // "<folder>/Liste/Amis.TXT"
    std::filesystem::path intruders;  // "<folder>/Liste/Intrus.TXT"
    std::filesystem::path journal;    // "<folder>/Liste/Supprimes.LOG"
    std::filesystem::path help;       // "<folder>/Aide/Accueil.htm"

    // The paths for an executable at `executable` (a full path).
    static AppPaths ForExecutable(const std::filesystem::path& executable);
};
