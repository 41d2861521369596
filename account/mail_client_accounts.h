#pragma once
// The POP3 accounts of the desktop's own mail clients, read tolerantly from
// their settings files: a line or a file they do not understand is skipped.
#include <string>
#include <string_view>
#include <vector>

// How a client reaches the server, when its settings say.
enum class MailClientSecurity { Unknown, None, Tls, Stls };

struct MailClientAccount {
    std::string server;  // UTF-8, as the files hold them
    std::string user;
    int port = 0;  // 0 when not said
    MailClientSecurity security = MailClientSecurity::Unknown;
};

// From one profile's "prefs.js": every mail.server.serverN whose type is
// "pop3", in the order the servers first appear, with its hostname,
// userName, port and socketType (3 TLS, 2 STLS, 0 none).
std::vector<MailClientAccount> Pop3AccountsOfPrefs(std::string_view prefsJs);

// From "profiles.ini": each profile's folder as written (Path=) and whether
// it is relative to the ini file's folder (IsRelative=1, the default).
struct ProfileFolder {
    std::string path;
    bool relative = true;
};
std::vector<ProfileFolder> ProfileFoldersOfIni(std::string_view profilesIni);

// From one ".source" key file: the account when its [Mail Account] backend
// is "pop", with Host, User and Port of its [Authentication] group and the
// Method of its [Security] group; else nothing.
std::vector<MailClientAccount> Pop3AccountOfSource(std::string_view source);
