#include "tools/cli_learn.h"

#include "app/spam_learning.h"
#include "app/spam_texts.h"
#include "platform/text.h"
#include "platform/text_format.h"
#include "tools/cli_exit.h"
#include "tools/console_text.h"
#include "tools/console_window.h"

int RunLearnCommand(const CliOptions& options, const AppPaths& paths, std::ostream& err) {
    const std::vector<std::filesystem::path> files =
        options.learnFile ? std::vector<std::filesystem::path>{*options.learnFile}
                          : MaildirFiles(*options.learnMaildir);
    ConsoleDialogs dialogs(err, false);
    int taught = 0;
    const Outcome outcome = TeachFromFiles(dialogs, paths.settings, paths.spamWords, files,
                                           options.learnSpam ? SpamLabel::Spam : SpamLabel::Wanted, taught);
    if (!outcome.IsDone()) return cli_exit::kLocalFile;
    if (options.verbosity != CliVerbosity::Quiet)
        err << ConsoleText(
                   FormatText(std::string(spam_texts::kTaught),
                              {IntToStr(taught), IntToStr(static_cast<std::int64_t>(files.size()) - taught)}))
            << '\n';
    return cli_exit::kDone;
}
