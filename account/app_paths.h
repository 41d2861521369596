#pragma once
// Where the program keeps its files. A portable program folder (one that
// holds the settings file, or that the user may write to and that is not an
// installed "bin" beside "share/vannoir") keeps them beside the executable;
// an installed program keeps them in the user's own folder,
// $XDG_CONFIG_HOME/vannoir (~/.config/vannoir by default). The help page
// stays with the program: beside it, or in the install's share/vannoir.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

struct AppPaths {
    std::filesystem::path folder;     // where the four files below live
    std::filesystem::path settings;   // "<folder>/<executable without extension>.INI"
    std::filesystem::path friends;    // "<folder>/Liste/Amis.TXT"
    std::filesystem::path intruders;  // "<folder>/Liste/Intrus.TXT"
    std::filesystem::path journal;    // "<folder>/Liste/Supprimes.LOG"
    std::filesystem::path help;       // "<help folder>/Aide/Accueil.htm"
    std::filesystem::path providers;  // "<help folder>/Fournisseurs.TXT", the installed table
    // The Maildir of deleted messages: "<folder>/Liste/Corbeille" beside the
    // lists, but "$XDG_DATA_HOME/vannoir/Corbeille" (~/.local/share/vannoir)
    // for an installed program.
    std::filesystem::path corbeille;
    // The header cache, one file per mailbox: "<folder>/EnTetes", but
    // "$XDG_STATE_HOME/vannoir/EnTetes" (~/.local/state) for an installed program.
    std::filesystem::path headerCache;
    bool portable = true;  // `folder` is the program's own: never created here

    // The paths for an executable at `executable` (a full path), every file
    // beside it.
    static AppPaths ForExecutable(const std::filesystem::path& executable);
};

// What the folder rule reads from the machine; the tests give their own.
struct FolderFacts {
    std::string configHome;  // $XDG_CONFIG_HOME; used only when absolute
    std::string dataHome;    // $XDG_DATA_HOME; used only when absolute
    std::string stateHome;   // $XDG_STATE_HOME; used only when absolute
    std::string home;        // $HOME, else the account's home folder
    std::function<bool(const std::filesystem::path&)> exists;
    std::function<bool(const std::filesystem::path&)> writable;  // files may be created in it
    static FolderFacts OfSystem();
};

// The paths of the program at `executable`: in `chosen` when given (the
// command line's choice for one run), else by the rule above. Touches
// nothing; PrepareAppFolder creates what is missing.
AppPaths LocateAppPaths(const std::filesystem::path& executable,
                        const std::optional<std::filesystem::path>& chosen, const FolderFacts& facts);

// LocateAppPaths on this machine: what the window and vannoir-cli both use.
AppPaths ProgramPaths(const std::filesystem::path& executable,
                      const std::optional<std::filesystem::path>& chosen = std::nullopt);

// A folder that is not the program's own is created on first use, owner-only
// (0700, its Liste subfolder too), with empty lists. In the program's own
// folder only a missing Liste subfolder is made so, with its lists. Existing
// folders and files are left as they are. Returns 0, or the errno of the
// failure.
int PrepareAppFolder(const AppPaths& paths);
