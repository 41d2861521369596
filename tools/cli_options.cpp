#include "tools/cli_options.h"

#include "app/texts.h"
#include "platform/control_characters.h"
#include "platform/text.h"
#include "tools/cli_lists.h"

namespace {

// Each command and its actions also go by an English name; what follows
// (numbers, entries, options) never changes with them.
struct CommandName {
    const char* english;
    const char* french;
};
constexpr CommandName kEnglishCommands[] = {
    {"headers", "en-tetes"}, {"preview", "apercu"},   {"delete", "supprimer"},
    {"import", "importer"},  {"account", "compte"},   {"certificate", "certificat"},
    {"friends", "amis"},     {"intruders", "intrus"}, {"trash", "corbeille"},
};
constexpr CommandName kEnglishActions[] = {
    {"list", "lister"},      {"add", "ajouter"}, {"remove", "retirer"},
    {"extract", "extraire"}, {"empty", "vider"},
};

template <std::size_t N>
void ToFrenchName(std::string& word, const CommandName (&names)[N]) {
    for (const CommandName& name : names)
        if (word == name.english) word = name.french;
}

struct Parser {
    explicit Parser(const std::vector<std::string>& all) : args(all) {}
    const std::vector<std::string>& args;
    std::size_t next = 0;
    CliOptions options;
    std::vector<std::string> positional;
    bool help = false, version = false, formatGiven = false;

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

    static AccountSecurity Security(const std::string& text) {
        if (auto security = ParseSecurity(text)) return *security;
        throw CliUsageError("--securite : « " + text + " » n'est ni tls, ni stls, ni aucune");
    }

    static AccountAuthentication Authentication(const std::string& text) {
        if (auto authentication = ParseAuthentication(text)) return *authentication;
        throw CliUsageError("--authentification : « " + text + " » n'est ni motdepasse ni oauth2");
    }

    static bool Mechanism(const std::string& text) {
        if (SameText(Trim(text), "OAUTHBEARER")) return true;
        if (SameText(Trim(text), "XOAUTH2")) return false;
        throw CliUsageError("--mecanisme : « " + text + " » n'est ni xoauth2 ni oauthbearer");
    }

    static bool YesNo(const std::string& name, const std::string& text) {
        if (text == "oui") return true;
        if (text == "non") return false;
        throw CliUsageError(name + " : « " + text + " » n'est ni oui ni non");
    }

    static std::string Folder(const std::string& text) {
        if (text.empty()) throw CliUsageError("--dossier attend un dossier");
        return text;
    }

    CliFormat Format(const std::string& text) {
        formatGiven = true;
        if (text == "tsv") return CliFormat::Tsv;
        if (text == "json") return CliFormat::Json;
        throw CliUsageError("--format : « " + text + " » n'est ni tsv ni json");
    }

    // -h, -q, -v, alone or together ("-qv").
    void ShortOptions(const std::string& arg) {
        for (std::size_t i = 1; i < arg.size(); ++i) {
            if (arg[i] == 'h')
                help = true;
            else if (arg[i] == 'q')
                options.verbosity = CliVerbosity::Quiet;
            else if (arg[i] == 'v')
                options.verbosity = CliVerbosity::Verbose;
            else
                throw CliUsageError("option inconnue : " + arg);
        }
    }

    void Option(const std::string& arg) {
        std::size_t eq = arg.find('=');
        std::string name = arg.substr(0, eq);
        std::optional<std::string> inline_;
        if (eq != std::string::npos) inline_ = arg.substr(eq + 1);
        bool flag = name == "--purger" || name == "--tout-relire" || name == "--aide" || name == "--help" ||
                    name == "--version" || name == "--silencieux" || name == "--bavard" ||
                    name == "--tester" || name == "--autoriser";
        if (flag && inline_) throw CliUsageError("l'option " + name + " ne prend pas de valeur");
        if (name == "--purger")
            options.purge = true;
        else if (name == "--tout-relire")
            options.readAll = true;
        else if (name == "--tester")
            options.test = true;
        else if (name == "--autoriser")
            options.authorize = true;
        else if (name == "--aide" || name == "--help")
            help = true;
        else if (name == "--version")
            version = true;
        else if (name == "--silencieux")
            options.verbosity = CliVerbosity::Quiet;
        else if (name == "--bavard")
            options.verbosity = CliVerbosity::Verbose;
        else if (name == "--format")
            options.format = Format(ValueOf(name, inline_));
        else if (name == "--compte") {
            const std::string value = ValueOf(name, inline_);
            options.allAccounts = value == "tous";
            if (!options.allAccounts) options.account = Number(name, value, 0, 10);
        } else if (name == "--port")
            options.port = Number(name, ValueOf(name, inline_), 1, 65535);
        else if (name == "--hote")
            options.host = ValueOf(name, inline_);
        else if (name == "--utilisateur")
            options.user = ValueOf(name, inline_);
        else if (name == "--serveur")
            options.server = ValueOf(name, inline_);
        else if (name == "--commande-jeton")
            options.tokenCommand = ValueOf(name, inline_);
        else if (name == "--id-client")
            options.clientId = ValueOf(name, inline_);
        else if (name == "--mecanisme")
            options.oauthBearer = Mechanism(ValueOf(name, inline_));
        else if (name == "--trousseau")
            options.keyring = YesNo(name, ValueOf(name, inline_));
        else if (name == "--adresse")
            options.address = ValueOf(name, inline_);
        else if (name == "--authentification")
            options.authentication = Authentication(ValueOf(name, inline_));
        else if (name == "--empreinte")
            options.fingerprint = ValueOf(name, inline_);
        else if (name == "--delai")
            options.delaySeconds = Number(name, ValueOf(name, inline_), 1, 3600);
        else if (name == "--securite")
            options.security = Security(ValueOf(name, inline_));
        else if (name == "--dossier")
            options.folder = Folder(ValueOf(name, inline_));
        else
            throw CliUsageError("option inconnue : " + arg);
    }

    void CorbeilleCommand() {
        options.command = CliCommand::Corbeille;
        const std::string verb = positional.size() > 1 ? positional[1] : "lister";
        std::size_t wanted = positional.size() > 1 ? 2 : 1;
        if (verb == "extraire")
            options.corbeilleVerb = CliCorbeilleVerb::Extract, wanted = 4;
        else if (verb == "vider")
            options.corbeilleVerb = CliCorbeilleVerb::Empty;
        else if (verb != "lister")
            throw CliUsageError("action de corbeille inconnue : " + verb + " (lister, extraire ou vider)");
        if (positional.size() < wanted)
            throw CliUsageError("extraire attend le numéro du message et le fichier");
        if (positional.size() > wanted) throw CliUsageError("argument en trop : " + positional[wanted]);
        if (wanted == 4) {
            options.message = Number("N", positional[2], 1, 2147483647);
            options.extractTarget = positional[3];
        }
        if (options.purge) throw CliUsageError("--purger ne s'emploie qu'avec en-tetes");
    }

    void Command() {
        if (positional.empty()) throw CliUsageError("commande manquante");
        ToFrenchName(positional[0], kEnglishCommands);
        const bool hasAction =
            positional[0] == "amis" || positional[0] == "intrus" || positional[0] == "corbeille";
        if (hasAction && positional.size() > 1) ToFrenchName(positional[1], kEnglishActions);
        if (ParseListCommand(positional, options)) return;
        if (positional[0] == "corbeille") return CorbeilleCommand();
        const std::string& verb = positional[0];
        std::size_t wanted = 1;
        if (verb == "en-tetes" || verb == "en-têtes")
            options.command = CliCommand::Headers;
        else if (verb == "apercu" || verb == "aperçu")
            options.command = CliCommand::Preview, wanted = 2;
        else if (verb == "supprimer")
            options.command = CliCommand::Delete, wanted = 2;
        else if (verb == "importer")
            options.command = CliCommand::Import;
        else if (verb == "compte")
            options.command = CliCommand::Account, wanted = 2;
        else if (verb == "certificat")
            options.command = CliCommand::Certificate;
        else
            throw CliUsageError("commande inconnue : " + verb);
        const bool account = options.command == CliCommand::Account;
        if (positional.size() < wanted)
            throw CliUsageError(verb +
                                (account ? " attend le numéro du compte" : " attend le numéro du message"));
        if (positional.size() > wanted) throw CliUsageError("argument en trop : " + positional[wanted]);
        if (account)
            options.account = Number("N", positional[1], 0, 10);
        else if (wanted == 2)
            options.message = Number("NUM", positional[1], 1, 2147483647);
        // An address stands for the server and the user name.
        const bool address = options.address.has_value();
        if (account && !address && options.server.has_value() != options.user.has_value())
            throw CliUsageError("compte N attend à la fois --serveur et --utilisateur pour enregistrer");
        if (account && !address && !options.server &&
            (options.port || options.security || options.fingerprint || options.authentication ||
             options.tokenCommand || options.clientId || options.oauthBearer))
            throw CliUsageError("compte N attend --serveur et --utilisateur pour enregistrer");
        if (!account && (options.server || options.fingerprint || address || options.authentication ||
                         options.tokenCommand || options.clientId || options.oauthBearer))
            throw CliUsageError(
                "--serveur, --adresse, --authentification, --commande-jeton, --id-client, --mecanisme et "
                "--empreinte ne s'emploient qu'avec compte");
        if (!account && options.test) throw CliUsageError("--tester ne s'emploie qu'avec compte");
        if (!account && options.authorize) throw CliUsageError("--autoriser ne s'emploie qu'avec compte");
        if (!account && options.keyring) throw CliUsageError("--trousseau ne s'emploie qu'avec compte");
        if (options.command == CliCommand::Certificate && !options.host)
            throw CliUsageError("certificat attend --hote");
        if (options.purge && options.command != CliCommand::Headers)
            throw CliUsageError("--purger ne s'emploie qu'avec en-tetes");
        if (options.readAll && options.command != CliCommand::Headers)
            throw CliUsageError("--tout-relire ne s'emploie qu'avec en-tetes");
        if (options.allAccounts && options.command != CliCommand::Headers)
            throw CliUsageError("--compte tous ne s'emploie qu'avec en-tetes");
        // One server for this run cannot stand for every account's.
        if (options.allAccounts && (options.host || options.user || options.port))
            throw CliUsageError("--compte tous ne s'emploie pas avec --hote, --utilisateur ni --port");
    }
};

}  // namespace

CliOptions ParseCliArguments(const std::vector<std::string>& args) {
    Parser parser(args);
    while (parser.next < args.size()) {
        const std::string& arg = args[parser.next++];
        if (arg.rfind("--", 0) == 0)
            parser.Option(arg);
        else if (arg.size() > 1 && arg[0] == '-')
            parser.ShortOptions(arg);
        else
            parser.positional.push_back(arg);
    }
    if (parser.help || parser.version) {
        parser.options.command = parser.help ? CliCommand::Help : CliCommand::Version;
        return parser.options;
    }
    parser.Command();
    const CliCommand command = parser.options.command;
    const bool rows = command == CliCommand::Headers || command == CliCommand::Preview ||
                      command == CliCommand::Delete || command == CliCommand::Corbeille;
    if (parser.formatGiven && !rows)
        throw CliUsageError("--format ne s'emploie qu'avec en-tetes, apercu, supprimer et corbeille");
    return parser.options;
}

const char* CliUsage() {
    return "Usage :\n"
           "  vannoir-cli en-tetes [--compte N|tous] [--purger] [--tout-relire] [--format tsv|json]\n"
           "  vannoir-cli apercu NUM [--compte N] [--format tsv|json]\n"
           "  vannoir-cli supprimer NUM [--compte N] [--format tsv|json]\n"
           "  vannoir-cli importer\n"
           "  vannoir-cli compte N [--serveur H --utilisateur U [--port P] [--securite S]\n"
           "                        [--empreinte F] [--authentification A]]\n"
           "  vannoir-cli compte N --adresse ADRESSE [--serveur H] [--utilisateur U] [...]\n"
           "  vannoir-cli compte N [...] --tester\n"
           "  vannoir-cli compte N [...] --autoriser\n"
           "  vannoir-cli compte N [...] --trousseau oui|non\n"
           "  vannoir-cli certificat --hote H [--port P] [--securite S]\n"
           "  vannoir-cli amis|intrus [lister | ajouter TEXTE | retirer TEXTE]\n"
           "  vannoir-cli journal\n"
           "  vannoir-cli corbeille [lister | extraire N FICHIER | vider] [--format tsv|json]\n"
           "  vannoir-cli --aide | --version\n"
           "  (en anglais aussi : headers, preview, delete, import, account, certificate,\n"
           "  friends, intruders, trash ; list, add, remove, extract, empty)\n"
           "\n"
           "  en-tetes    liste l'en-tête de chaque message du serveur (une ligne par message,\n"
           "              colonnes séparées par des tabulations : numéro, date, expéditeur,\n"
           "              sujet, taille, statut A ou I) ; avec --purger, détruit les intrus\n"
           "  apercu      affiche le message NUM (les caractères de contrôle sous la forme ^[)\n"
           "  supprimer   supprime le message NUM, puis liste les en-têtes ; le message doit\n"
           "              être celui de la dernière commande en-tetes du même compte\n"
           "  importer    ajoute dans des comptes libres le serveur et l'utilisateur des comptes\n"
           "              POP3 des autres logiciels de courrier (sans mot de passe) et écrit\n"
           "              les numéros des comptes remplis\n"
           "  compte      montre le compte N (jamais son mot de passe) ; avec --serveur et\n"
           "              --utilisateur, l'enregistre : le mot de passe est lu sur l'entrée\n"
           "              standard, ou tapé sans écho au terminal (pas pour oauth2) ; avec\n"
           "              --adresse, le serveur, l'utilisateur, le port, la sécurité et\n"
           "              l'authentification viennent de la table des fournisseurs\n"
           "              (Fournisseurs.TXT), les autres options l'emportant sur elle ;\n"
           "              avec --tester, se connecte, s'identifie, lit STAT et QUITte sans\n"
           "              toucher à la boîte, puis dit en une ligne ce qui a réussi ou échoué\n"
           "              (code de sortie 0, 1, 3 ou 4 comme pour en-tetes) ; le mot de passe\n"
           "              va dans le trousseau de clés de la session quand il y en a un\n"
           "              (le fichier n'en garde qu'une marque), sinon dans le fichier de\n"
           "              réglages ; --trousseau oui|non choisit, et seul, y déplace le mot de\n"
           "              passe enregistré ou l'en retire ; pour oauth2 sans --commande-jeton,\n"
           "              --id-client donne l'identifiant client enregistré chez le fournisseur,\n"
           "              --mecanisme xoauth2|oauthbearer le mécanisme, et --autoriser écrit\n"
           "              l'adresse d'autorisation à ouvrir dans le navigateur, attend son\n"
           "              retour et garde le jeton de renouvellement dans le trousseau\n"
           "  certificat  montre le certificat du serveur H : sujet, émetteur, validité,\n"
           "              empreinte SHA-256 et verdict de la vérification\n"
           "  amis        la liste des amis : lister (par défaut) ses entrées, en ajouter\n"
           "              ou en retirer une ; une entrée est un nom tel que la colonne\n"
           "              expéditeur le montre, une adresse (jean@exemple.fr), un domaine\n"
           "              (@exemple.fr ou *@exemple.fr) ou un domaine et ses sous-domaines\n"
           "              (*.exemple.fr)\n"
           "  intrus      de même pour la liste des intrus\n"
           "  journal     affiche le journal des messages détruits (Liste/Supprimes.LOG)\n"
           "  corbeille   les copies des messages détruits, les plus récentes d'abord :\n"
           "              lister (par défaut) une ligne par copie (numéro, supprimé le,\n"
           "              compte, expéditeur, sujet, taille ; en json : numero, supprime_le,\n"
           "              compte, expediteur, adresse, sujet, taille, authentification),\n"
           "              extraire la copie N\n"
           "              dans FICHIER, ou vider la corbeille\n"
           "\n"
           "Options :\n"
           "  --compte N        compte de 0 à 10 (1 par défaut) ; en-tetes --compte tous : chaque\n"
           "                    compte configuré à son tour, son numéro en première colonne\n"
           "                    (json : [{compte, lignes, erreur}]), le code de sortie le plus haut\n"
           "  --purger          répond « Oui » à la destruction des messages intrus\n"
           "  --tout-relire     relit l'en-tête de chaque message, même ceux déjà lus\n"
           "                    (sinon, seuls les nouveaux sont demandés au serveur)\n"
           "  --hote H          serveur POP3 pour cette fois\n"
           "  --port P          port du serveur pour cette fois (celui du compte)\n"
           "  --utilisateur U   nom d'utilisateur pour cette fois\n"
           "  --securite S      tls (port 995), stls ou aucune (port 110)\n"
           "  --empreinte F     empreinte SHA-256 d'un certificat accepté même s'il ne\n"
           "                    passe pas la vérification (serveur auto-hébergé)\n"
           "  --adresse A       adresse électronique du compte, qui remplit le reste\n"
           "  --authentification A  motdepasse (par défaut) ou oauth2\n"
           "  --commande-jeton C    oauth2 : la commande dont la première ligne écrite\n"
           "                    est le jeton d'accès (exécutée à chaque connexion)\n"
           "  --delai S         délais de connexion et de lecture, en secondes\n"
           "                    (30 et 60 par défaut)\n"
           "  --dossier DIR     dossier des réglages et des listes pour cette fois\n"
           "  --format F        tsv (par défaut) : une ligne par message, sans tabulation ni\n"
           "                    caractère de contrôle dans les champs ; json : un tableau d'objets\n"
           "                    (numero, date ISO 8601 ou null, expediteur, adresse, sujet,\n"
           "                    taille, statut) ; pour apercu, un objet (numero, lignes,\n"
           "                    pieces_jointes)\n"
           "  -q, --silencieux  rien sur la sortie d'erreur, sauf en cas d'échec\n"
           "  -v, --bavard      montre aussi les commandes envoyées (jamais le mot de passe)\n"
           "  -h, --aide, --help  affiche cette aide\n"
           "  --version         affiche la version\n"
           "\n"
           "Les comptes et les listes sont ceux de Vannoir (vannoir.INI, Liste/Amis.TXT,\n"
           "Liste/Intrus.TXT), dans le dossier des réglages. Le mot de passe d'un compte\n"
           "ne part que vers son serveur : avec --hote vers un autre, il est lu sur\n"
           "l'entrée standard. Une seule action sur la boîte aux lettres à la fois par\n"
           "fichier de réglages : une autre attend quelques secondes, puis abandonne.\n"
           "\n"
           "Codes de sortie :\n"
           "  0  réussite\n"
           "  1  le serveur a refusé l'action (connexion refusée, réponse -ERR)\n"
           "  2  mauvais usage de la ligne de commande\n"
           "  3  compte non configuré (dit avant toute connexion)\n"
           "  4  réseau : hôte introuvable, connexion refusée, délai dépassé, TLS ; ou\n"
           "     une autre action sur la même boîte aux lettres en cours\n"
           "  5  la boîte aux lettres a changé depuis la dernière commande en-tetes\n"
           "     (suppression refusée)\n"
           "  6  fichier local : réglages, listes, journal, relevé des en-têtes,\n"
           "     corbeille (message non conservé, donc non supprimé) ou écriture de la sortie\n"
           "  129, 130, 143  arrêt par SIGHUP, SIGINT ou SIGTERM (rien de supprimé qui\n"
           "     n'était pas confirmé, fichiers temporaires effacés)\n";
}

std::string CliUsageErrorLine(const CliUsageError& error) {
    // The arguments typed are shown back: their control characters too.
    return "vannoir-cli : " + VisibleControls(error.what()) + " (« vannoir-cli --aide » pour l'usage)\n";
}

std::string CliVersionLine() { return "vannoir-cli " + std::string(texts::kVersion) + "\n"; }
