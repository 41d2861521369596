#include "app/spam_bogofilter.h"

#include <sys/stat.h>

#include "app/spam_texts.h"
#include "platform/command_output.h"
#include "platform/text.h"
#include "platform/text_format.h"

namespace {

// A verdict line is a letter and a number: a few dozen bytes.
constexpr std::size_t kLongestLine = 64;
// Made by the first learning; without it every answer is an error.
constexpr std::string_view kWordList = "wordlist.db";

// The mailbox format the program reads: each message after a separator
// line, a body line that would pass for one quoted, an empty line after it.
void AppendAsMailbox(std::string& mailbox, std::string_view message) {
    mailbox += "From vannoir\n";
    bool lineStart = true;
    for (std::size_t i = 0; i < message.size(); ++i) {
        const char c = message[i];
        if (lineStart && message.substr(i).starts_with("From ")) mailbox += '>';
        lineStart = c == '\n';
        if (c == '\r' && i + 1 < message.size() && message[i + 1] == '\n') continue;
        mailbox += c;
    }
    if (!mailbox.ends_with('\n')) mailbox += '\n';
    mailbox += '\n';
}

SpamVerdict ParseLine(std::string_view line) {
    // "S 0.999", "H 1.2e-05", "U 0.5" (the terse form meant for scripts).
    if (line.size() < 3 || line[1] != ' ') throw ESpamEngineError(std::string(spam_texts::kEngineGarbage));
    SpamVerdict verdict;
    switch (line[0]) {
        case 'S':
            verdict.judgement = SpamJudgement::Spam;
            break;
        case 'H':
            verdict.judgement = SpamJudgement::Wanted;
            break;
        case 'U':
            verdict.judgement = SpamJudgement::Unsure;
            break;
        default:
            throw ESpamEngineError(std::string(spam_texts::kEngineGarbage));
    }
    const std::string number(line.substr(2));
    char* end = nullptr;
    const double score = std::strtod(number.c_str(), &end);
    if (end == number.c_str() || *end != '\0' || !(score >= 0 && score <= 1))
        throw ESpamEngineError(std::string(spam_texts::kEngineGarbage));
    verdict.score = score;
    return verdict;
}

class BogofilterEngine : public SpamEngine {
public:
    explicit BogofilterEngine(BogofilterOptions options) : options_(std::move(options)) {}

    std::vector<SpamVerdict> Judge(const std::vector<std::string>& messages) override {
        if (messages.empty()) return {};
        std::error_code ec;
        // Nothing learned yet: no guess, and nothing wrong either.
        if (!std::filesystem::exists(options_.words / kWordList, ec))
            return std::vector<SpamVerdict>(messages.size());
        std::string mailbox;
        for (const std::string& message : messages) AppendAsMailbox(mailbox, message);
        const CommandRun run = Run({"-M", "-T", "-e"}, mailbox, messages.size() * kLongestLine);
        std::vector<SpamVerdict> verdicts;
        std::string rest = run.output;
        while (!rest.empty()) verdicts.push_back(ParseLine(SplitAt(rest, "\n")));
        if (verdicts.size() != messages.size())
            throw ESpamEngineError(std::string(spam_texts::kEngineGarbage));
        return verdicts;
    }

    void Learn(std::string_view message, SpamLabel label, bool forgetOther) override {
        std::error_code ec;
        std::filesystem::create_directories(options_.words, ec);
        ::chmod(options_.words.c_str(), 0700);
        const bool spam = label == SpamLabel::Spam;
        std::string register_ = spam ? "-s" : "-n";
        if (forgetOther) register_ += spam ? "N" : "S";
        std::string text;
        AppendAsMailbox(text, message);
        Run({register_}, text, kLongestLine);
    }

private:
    // The program with its word list and no configuration file of the
    // user's (its own cutoffs and formats would change the answers).
    CommandRun Run(std::vector<std::string> arguments, std::string_view input, std::size_t longest) {
        std::vector<std::string> argv{options_.program, "-C", "-d", options_.words.string()};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        const CommandRun run = RunWithInput(argv, input, options_.limitMs, longest, options_.idle);
        if (!run.started) throw ESpamEngineError(FormatText(spam_texts::kEngineMissing, {options_.program}));
        if (run.timedOut) throw ESpamEngineError(std::string(spam_texts::kEngineTooSlow));
        if (run.tooLong) throw ESpamEngineError(std::string(spam_texts::kEngineGarbage));
        if (run.status != 0)
            throw ESpamEngineError(FormatText(spam_texts::kEngineFailed, {IntToStr(run.status)}));
        return run;
    }

    BogofilterOptions options_;
};

}  // namespace

std::unique_ptr<SpamEngine> MakeBogofilterEngine(const BogofilterOptions& options) {
    return std::make_unique<BogofilterEngine>(options);
}
