#pragma once
// The command line of vannoir-cli:
//   en-tetes [--compte N] [--purger]
//   apercu NUM [--compte N]
//   supprimer NUM [--compte N]
//   amis|intrus [lister | ajouter TEXTE | retirer TEXTE]
//   journal
// plus --hote H, --port P, --utilisateur U for one run, and --aide.
// Options take their value as the next argument or after "=".
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

enum class CliCommand { Headers, Preview, Delete, Help, Friends, Intruders, Journal };
enum class CliListVerb { List, Add, Remove };

struct CliOptions {
    CliCommand command = CliCommand::Help;
    int message = 0;  // NUM of apercu and supprimer
    int account = 1;  // 0 to 10
    bool purge = false;
    std::optional<std::string> host, user;  // UTF-8 as typed
    std::optional<int> port;
    CliListVerb listVerb = CliListVerb::List;  // of amis and intrus
    std::string listText;                      // TEXTE, UTF-8 as typed
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
