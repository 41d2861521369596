#pragma once
// The command line of vannoir-cli:
//   en-tetes [--compte N] [--purger]
//   apercu NUM [--compte N]
//   supprimer NUM [--compte N]
//   importer
//   compte N [--serveur H --utilisateur U [--port P] [--securite S] [--empreinte F]]
//   compte N --adresse A [--serveur H] [--utilisateur U] [--port P] [--securite S]
//   compte N [...] --authentification motdepasse|oauth2 [--commande-jeton CMD]
//   compte N [...] --tester
//   compte N [...] --autoriser
//   compte N [...] --trousseau oui|non
//   certificat --hote H [--port P] [--securite S]
//   amis|intrus [lister | ajouter TEXTE | retirer TEXTE]
//   journal
//   corbeille [lister | extraire N FICHIER | vider]
// plus --hote H, --port P, --utilisateur U, --securite S, --delai S for one
// run, --dossier DIR for the folder of the settings and lists, --format
// tsv|json, -q/--silencieux, -v/--bavard, --aide (--help, -h) and --version.
// "en-têtes" and "aperçu" may be typed with their accents.
// Options take their value as the next argument or after "=".
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "account/account_authentication.h"
#include "account/account_security.h"

enum class CliCommand {
    Headers,
    Preview,
    Delete,
    Import,
    Account,
    Certificate,
    Friends,
    Intruders,
    Journal,
    Corbeille,
    Help,
    Version
};
enum class CliListVerb { List, Add, Remove };
enum class CliCorbeilleVerb { List, Extract, Empty };
// Quiet: nothing on the error stream unless the run fails. Verbose: the
// commands sent too.
enum class CliVerbosity { Quiet, Normal, Verbose };
enum class CliFormat { Tsv, Json };

struct CliOptions {
    CliCommand command = CliCommand::Help;
    int message = 0;           // NUM of apercu and supprimer
    int account = 1;           // 0 to 10; the slot N of compte
    bool allAccounts = false;  // en-tetes --compte tous
    bool purge = false;
    bool readAll = false;                   // en-tetes --tout-relire: every header fetched again
    std::optional<std::string> host, user;  // UTF-8 as typed
    std::optional<int> port;
    std::optional<std::string> server, fingerprint;  // compte
    std::optional<std::string> address;              // compte --adresse, UTF-8 as typed
    std::optional<AccountAuthentication> authentication;
    std::optional<std::string> tokenCommand;  // compte --commande-jeton, UTF-8 as typed
    std::optional<std::string> clientId;      // compte --id-client
    std::optional<bool> oauthBearer;          // compte --mecanisme oauthbearer|xoauth2
    bool test = false;                        // compte --tester
    bool authorize = false;                   // compte --autoriser
    // compte --trousseau oui|non: the password in the keyring or in the
    // file; nothing: the keyring when one answers.
    std::optional<bool> keyring;
    std::optional<AccountSecurity> security;
    std::optional<int> delaySeconds;           // both time limits
    CliListVerb listVerb = CliListVerb::List;  // of amis and intrus
    std::string listText;                      // TEXTE, UTF-8 as typed
    std::optional<std::string> folder;         // --dossier, as typed
    CliCorbeilleVerb corbeilleVerb = CliCorbeilleVerb::List;
    std::string extractTarget;  // FICHIER of corbeille extraire, as typed
    CliVerbosity verbosity = CliVerbosity::Normal;
    CliFormat format = CliFormat::Tsv;  // of en-tetes, supprimer and apercu
    // How long a mailbox action waits for another run on the same settings
    // (no option: tests shorten it).
    int lockWaitMs = 5000;
};

// Bad usage; what() is a French explanation in UTF-8.
class CliUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// `args` without the program name. Throws CliUsageError.
CliOptions ParseCliArguments(const std::vector<std::string>& args);

// The usage text, UTF-8, ending with a line end.
const char* CliUsage();
// The one line a usage mistake gets on the error stream (UTF-8, with its
// line end): the mistake, then where the rest is told.
std::string CliUsageErrorLine(const CliUsageError& error);
// "vannoir-cli 1.02" and a line end.
std::string CliVersionLine();
