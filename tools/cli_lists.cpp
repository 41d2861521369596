#include "tools/cli_lists.h"

#include "app/main_window.h"
#include "app/sender_list.h"
#include "app/texts.h"
#include "platform/control_characters.h"
#include "platform/file_replace.h"
#include "platform/text.h"
#include "platform/text_lines.h"
#include "tools/cli_exit.h"
#include "tools/console_window.h"

namespace {

CliListVerb VerbOf(const std::string& word) {
    if (word == "lister") return CliListVerb::List;
    if (word == "ajouter") return CliListVerb::Add;
    if (word == "retirer") return CliListVerb::Remove;
    throw CliUsageError("action de liste inconnue : " + word + " (lister, ajouter ou retirer)");
}

int ListCommand(const CliOptions& options, Screener& screener, ConsoleWindow& window, std::ostream& out) {
    const ListKind kind = options.command == CliCommand::Friends ? ListKind::Friends : ListKind::Intruders;
    if (options.listVerb == CliListVerb::List) {
        std::vector<std::string> entries;
        const auto& paths = screener.Paths();
        Outcome loaded = RunShowingErrors(window.dialogs, [&] {
            entries = LoadListFile(kind == ListKind::Friends ? paths.friends : paths.intruders);
        });
        // An entry may be a sender's name taken from the grid, escapes and all.
        for (const std::string& entry : entries) out << VisibleControls(entry) << '\n';
        return ExitCodeOf(loaded);
    }
    // The file as it is now, not as an earlier run left it in memory.
    if (Outcome loaded = screener.LoadList(kind); !loaded.IsDone()) return ExitCodeOf(loaded);
    const std::string text = options.listText;
    Outcome outcome = options.listVerb == CliListVerb::Add ? screener.AddSender(kind, text)
                                                           : screener.RemoveSender(kind, text);
    return ExitCodeOf(outcome);
}

int JournalCommand(const AppPaths& paths, std::ostream& out, std::ostream& err) {
    std::string bytes;
    if (ReadWholeFile(paths.journal, bytes) != 0) {
        err << texts::kJournalEmpty << '\n';
        return 0;
    }
    for (const TextLine& line : SplitTextLines(bytes)) out << VisibleControls(line.text) << '\n';
    return 0;
}

}  // namespace

bool ParseListCommand(const std::vector<std::string>& positional, CliOptions& options) {
    const std::string& verb = positional[0];
    if (verb == "journal") {
        if (positional.size() > 1) throw CliUsageError("argument en trop : " + positional[1]);
        options.command = CliCommand::Journal;
    } else if (verb == "amis" || verb == "intrus") {
        options.command = verb == "amis" ? CliCommand::Friends : CliCommand::Intruders;
        if (positional.size() > 1) options.listVerb = VerbOf(positional[1]);
        // "lister" may be left out; the others take the entry's text.
        const std::size_t wanted = options.listVerb != CliListVerb::List ? 3 : positional.size() > 1 ? 2 : 1;
        if (positional.size() < wanted) throw CliUsageError(positional[1] + " attend le texte de l'entrée");
        if (positional.size() > wanted) throw CliUsageError("argument en trop : " + positional[wanted]);
        if (wanted == 3) options.listText = positional[2];
    } else {
        return false;
    }
    if (options.purge) throw CliUsageError("--purger ne s'emploie qu'avec en-tetes");
    return true;
}

int RunFileCommand(const CliOptions& options, const AppPaths& paths, std::ostream& out, std::ostream& err) {
    ConsoleWindow window(err, false);
    Screener screener(paths, window.View());
    if (options.command == CliCommand::Journal) return JournalCommand(screener.Paths(), out, err);
    return ListCommand(options, screener, window, out);
}
