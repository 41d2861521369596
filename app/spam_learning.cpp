#include "app/spam_learning.h"

#include <algorithm>
#include <map>

#include "app/spam_bogofilter.h"
#include "app/spam_settings.h"
#include "app/spam_texts.h"
#include "platform/file_replace.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "platform/text_lines.h"

namespace {

constexpr std::string_view kSpamLetter = "S";
constexpr std::string_view kWantedLetter = "B";

std::string_view LetterOf(SpamLabel label) { return label == SpamLabel::Spam ? kSpamLetter : kWantedLetter; }

// The last label of each key: a change of mind is a later line.
std::map<std::string, std::string> ReadLedger(const std::filesystem::path& file) {
    std::map<std::string, std::string> taught;
    std::string bytes;
    if (ReadWholeFile(file, bytes) != 0) return taught;
    for (const TextLine& line : SplitTextLines(bytes)) {
        std::string rest = line.text;
        const std::string letter = SplitAt(rest, "\t");
        if (!rest.empty()) taught[rest] = letter;
    }
    return taught;
}

}  // namespace

std::string LearningKey(const ScanRow& row) {
    return row.uniqueId.empty() ? "empreinte " + row.headerDigest : "uidl " + row.uniqueId;
}

std::string LearningKeyOfText(std::string_view message) {
    std::vector<std::string> lines;
    for (const TextLine& line : SplitTextLines(message)) {
        if (line.text.empty()) break;
        lines.push_back(line.text);
    }
    return "empreinte " + HeaderDigest(lines);
}

bool LearnOnce(SpamEngine& engine, const std::filesystem::path& words, const std::string& key,
               std::string_view message, SpamLabel label) {
    const std::filesystem::path file = words / spam_texts::kLedgerFile;
    const std::map<std::string, std::string> taught = ReadLedger(file);
    const auto earlier = taught.find(key);
    if (earlier != taught.end() && earlier->second == LetterOf(label)) return false;
    engine.Learn(message, label, earlier != taught.end());
    std::error_code ec;
    std::filesystem::create_directories(words, ec);
    // Unwritten, the message would be taught again later: a small excess.
    AppendToFile(file, std::string(LetterOf(label)) + "\t" + key + "\r\n");
    return true;
}

int LearnMessageFiles(SpamEngine& engine, const std::filesystem::path& words,
                      const std::vector<std::filesystem::path>& files, SpamLabel label) {
    int taught = 0;
    for (const std::filesystem::path& file : files) {
        std::string message;
        if (ReadWholeFile(file, message) != 0) continue;
        if (LearnOnce(engine, words, LearningKeyOfText(message), message, label)) ++taught;
    }
    return taught;
}

std::vector<std::filesystem::path> MaildirFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const char* part : {"cur", "new"}) {
        std::error_code ec;
        for (std::filesystem::directory_iterator it(folder / part, ec), end; !ec && it != end;
             it.increment(ec))
            if (it->is_regular_file(ec)) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

Outcome TeachFromFiles(Dialogs& dialogs, const std::filesystem::path& settings,
                       const std::filesystem::path& words, const std::vector<std::filesystem::path>& files,
                       SpamLabel label, int& taught) {
    taught = 0;
    return RunShowingErrors(dialogs, [&] {
        const auto engine = MakeSpamEngine(ReadSpamSettings(TIniFile(settings)), words);
        if (!engine) throw ESpamEngineError(std::string(spam_texts::kNoEngine));
        taught = LearnMessageFiles(*engine, words, files, label);
    });
}
