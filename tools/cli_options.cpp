#include "tools/cli_options.h"

#include "platform/text.h"

namespace {

struct Parser {
    explicit Parser(const std::vector<std::string>& all) : args(all) {}
    const std::vector<std::string>& args;
    std::size_t next = 0;
    CliOptions options;
    std::vector<std::string> positional;
    bool help = false;

    std::string ValueOf(const std::string& name, const std::optional<std::string>& inline_) {
        if (inline_) return *inline_;
        if (next >= args.size()) throw CliUsageError("l'option " + name + " attend une valeur");
        return args[next++];
    }

    static int Number(const std::string& name, const std::string& text, int lowest, int highest) {
        std::optional<std::int32_t> value = TryStrToInt(text);
        if (!value || *value < lowest || *value > highest)
            throw CliUsageError(name + " : « " + text + " » n'est pas un nombre de " +
                                std::to_string(lowest) + " à " + std::to_string(highest));
        return *value;
    }

    void Option(const std::string& arg) {
        std::size_t eq = arg.find('=');
        std::string name = arg.substr(0, eq);
        std::optional<std::string> inline_;
        if (eq != std::string::npos) inline_ = arg.substr(eq + 1);
        bool flag = name == "--purger" || name == "--aide";
        if (flag && inline_) throw CliUsageError("l'option " + name + " ne prend pas de valeur");
        if (name == "--purger")
            options.purge = true;
        else if (name == "--aide")
            help = true;
        else if (name == "--compte")
            options.account = Number(name, ValueOf(name, inline_), 0, 10);
        else if (name == "--port")
            options.port = Number(name, ValueOf(name, inline_), 1, 65535);
        else if (name == "--hote")
            options.host = ValueOf(name, inline_);
        else if (name == "--utilisateur")
            options.user = ValueOf(name, inline_);
        else
            throw CliUsageError("option inconnue : " + arg);
    }

    void Command() {
        if (positional.empty()) throw CliUsageError("commande manquante");
        const std::string& verb = positional[0];
        std::size_t wanted = 1;
        if (verb == "en-tetes")
            options.command = CliCommand::Headers;
        else if (verb == "apercu")
            options.command = CliCommand::Preview, wanted = 2;
        else if (verb == "supprimer")
            options.command = CliCommand::Delete, wanted = 2;
        else if (verb == "importer")
            options.command = CliCommand::Import;
        else
            throw CliUsageError("commande inconnue : " + verb);
        if (positional.size() < wanted) throw CliUsageError(verb + " attend le numéro du message");
        if (positional.size() > wanted) throw CliUsageError("argument en trop : " + positional[wanted]);
        if (wanted == 2) options.message = Number("NUM", positional[1], 1, 2147483647);
        if (options.purge && options.command != CliCommand::Headers)
            throw CliUsageError("--purger ne s'emploie qu'avec en-tetes");
    }
};

}  // namespace

CliOptions ParseCliArguments(const std::vector<std::string>& args) {
    Parser parser(args);
    while (parser.next < args.size()) {
        const std::string& arg = args[parser.next++];
        if (arg.rfind("--", 0) == 0)
            parser.Option(arg);
        else
            parser.positional.push_back(arg);
    }
    if (parser.help) {
        parser.options.command = CliCommand::Help;
        return parser.options;
    }
    parser.Command();
    return parser.options;
}

const char* CliUsage() {
    return "Usage :\n"
           "  vannoir-cli en-tetes [--compte N] [--purger]\n"
           "  vannoir-cli apercu NUM [--compte N]\n"
           "  vannoir-cli supprimer NUM [--compte N]\n"
           "  vannoir-cli importer\n"
           "\n"
           "  en-tetes    liste l'en-tête de chaque message du serveur (une ligne par message,\n"
           "              colonnes séparées par des tabulations : numéro, date, expéditeur,\n"
           "              sujet, taille, statut A ou I) ; avec --purger, détruit les intrus\n"
           "  apercu      affiche le message NUM\n"
           "  supprimer   supprime le message NUM, puis liste les en-têtes ; le message doit\n"
           "              être celui de la dernière commande en-tetes du même compte\n"
           "  importer    ajoute dans des comptes libres le serveur et l'utilisateur des comptes\n"
           "              POP3 des autres logiciels de courrier (sans mot de passe) et écrit\n"
           "              les numéros des comptes remplis\n"
           "\n"
           "Options :\n"
           "  --compte N        compte de 0 à 10 (1 par défaut)\n"
           "  --purger          répond « Oui » à la destruction des messages intrus\n"
           "  --hote H          serveur POP3 pour cette fois\n"
           "  --port P          port du serveur pour cette fois (110 par défaut)\n"
           "  --utilisateur U   nom d'utilisateur pour cette fois\n"
           "  --aide            affiche cette aide\n"
           "\n"
           "Les comptes et les listes sont ceux de Vannoir installé dans le même dossier\n"
           "(vannoir.INI, Liste/Amis.TXT, Liste/Intrus.TXT).\n"
           "Code de sortie : 0 réussite, 1 échec de l'action, 2 mauvais usage,\n"
           "6 action réussie mais relevé des en-têtes non enregistré.\n";
}
