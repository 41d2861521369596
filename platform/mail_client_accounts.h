#pragma once
// The POP3 accounts of the desktop's own mail clients, read tolerantly from
// their settings files: a line or a file they do not understand is skipped.
#include <string>
#include <string_view>
#include <vector>

struct MailClientAccount {
    std::string server;  // UTF-8, as the files hold them
    std::string user;
};

// From one profile's "prefs.js": every mail.server.serverN whose type is
// "pop3", in the order the servers first appear, with its hostname and
// userName.
std::vector<MailClientAccount> Pop3AccountsOfPrefs(std::string_view prefsJs);

// From "profiles.ini": each profile's folder as written (Path=) and whether
// it is relative to the ini file's folder (IsRelative=1, the default).
struct ProfileFolder {
    std::string path;
    bool relative = true;
};
std::vector<ProfileFolder> ProfileFoldersOfIni(std::string_view profilesIni);

// From one ".source" key file: the account when its [Mail Account] backend
// is "pop", with Host and User of its [Authentication] group; else nothing.
std::vector<MailClientAccount> Pop3AccountOfSource(std::string_view source);
