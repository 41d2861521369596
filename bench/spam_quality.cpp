// The spam engine's quality as a user meets mail: a labelled corpus of real
// wanted mail and spam replayed in date order, each day's messages judged
// in one exchange (a scan), then each learned with its true label through
// the program's own learning path. What the engine sees: the header alone,
// or the header and the first L body lines (what "TOP n L" would bring).
// Prints spam caught and wanted mail flagged at the engine's own cutoff,
// and spam caught when 0.1 / 0.5 / 1 % of wanted mail is flagged, over all
// messages and over the later half. Reads the corpus at run time:
//   bench_spam_quality [corpus folder, default ../shared/mail-corpus]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/spam_bogofilter.h"
#include "app/spam_learning.h"
#include "message/internet_date.h"
#include "platform/file_replace.h"
#include "platform/text.h"
#include "support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

struct Mail {
    bool spam = false;
    double date = 0;  // days, as written
    std::string header;
    std::vector<std::string> body;  // its first lines
};

std::vector<Mail> ReadCorpus(const fs::path& folder) {
    std::vector<Mail> mails;
    for (const char* kind : {"ham", "spam"}) {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(folder / kind)) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            std::string bytes;
            if (ReadWholeFile(file, bytes) != 0) continue;
            Mail mail;
            mail.spam = std::string(kind) == "spam";
            std::size_t at = bytes.starts_with("From ") ? bytes.find('\n') + 1 : 0;
            bool inHeader = true;
            while (at < bytes.size() && mail.body.size() < 20) {
                std::size_t end = bytes.find('\n', at);
                if (end == std::string::npos) end = bytes.size();
                std::string line = bytes.substr(at, end - at);
                if (line.ends_with('\r')) line.pop_back();
                at = end + 1;
                if (inHeader && line.empty()) {
                    inHeader = false;
                } else if (inHeader) {
                    mail.header += line + "\r\n";
                    if (line.size() > 5 && LowerCase(line.substr(0, 5)) == "date:") {
                        if (auto date = ReadMessageDate(Trim(line.substr(5)), 0))
                            mail.date = date->written - date->offsetMinutes / 1440.0;
                    }
                } else {
                    mail.body.push_back(line);
                }
            }
            mails.push_back(std::move(mail));
        }
    }
    std::stable_sort(mails.begin(), mails.end(),
                     [](const Mail& a, const Mail& b) { return a.date < b.date; });
    return mails;
}

std::string Seen(const Mail& mail, int bodyLines) {
    std::string text = mail.header + "\r\n";
    for (int i = 0; i < bodyLines && i < static_cast<int>(mail.body.size()); ++i)
        text += mail.body[i] + "\r\n";
    return text;
}

struct Judged {
    bool spam;
    double score;  // 0.5 where the engine gave none (nothing learned yet)
    bool said;     // the engine's own judgement: spam
};

double Percent(std::size_t part, std::size_t whole) { return whole ? 100.0 * part / whole : 0; }

void Report(const char* title, const std::vector<Judged>& judged) {
    std::vector<double> wanted;
    std::size_t spams = 0, caught = 0, flagged = 0;
    for (const Judged& j : judged) {
        if (j.spam) {
            ++spams;
            caught += j.said;
        } else {
            wanted.push_back(j.score);
            flagged += j.said;
        }
    }
    std::sort(wanted.begin(), wanted.end(), std::greater<>());
    std::printf("  %-12s %5zu spams, %5zu wanted: caught %5.1f %%, wanted flagged %4.2f %%;", title, spams,
                wanted.size(), Percent(caught, spams), Percent(flagged, wanted.size()));
    for (double rate : {0.001, 0.005, 0.01}) {
        // The lowest threshold that flags at most `rate` of wanted mail.
        const std::size_t allowed = static_cast<std::size_t>(std::floor(rate * wanted.size()));
        const double threshold = allowed < wanted.size() ? wanted[allowed] : 0;
        std::size_t over = 0;
        for (const Judged& j : judged) over += j.spam && j.score > threshold;
        std::printf(" %.1f %% -> %5.1f %%", rate * 100, Percent(over, spams));
    }
    std::printf("\n");
}

void Replay(const std::vector<Mail>& mails, int bodyLines) {
    ScratchFolder dir;
    BogofilterOptions options;
    options.words = dir / "Antispam";
    options.limitMs = 120000;
    const auto engine = MakeBogofilterEngine(options);
    std::vector<Judged> judged;
    std::size_t bytes = 0;
    const auto start = std::chrono::steady_clock::now();
    double judging = 0;
    for (std::size_t first = 0; first < mails.size();) {
        // One scan a day.
        std::size_t last = first;
        while (last < mails.size() && std::floor(mails[last].date) == std::floor(mails[first].date)) ++last;
        if (last == first) ++last;
        std::vector<std::string> scan;
        for (std::size_t i = first; i < last; ++i) scan.push_back(Seen(mails[i], bodyLines));
        for (const std::string& text : scan) bytes += text.size();
        const auto judgeStart = std::chrono::steady_clock::now();
        const std::vector<SpamVerdict> verdicts = engine->Judge(scan);
        judging += std::chrono::duration<double>(std::chrono::steady_clock::now() - judgeStart).count();
        for (std::size_t i = first; i < last; ++i) {
            const SpamVerdict& v = verdicts[i - first];
            judged.push_back({mails[i].spam, v.score.value_or(0.5), v.judgement == SpamJudgement::Spam});
            LearnOnce(*engine, options.words, "n" + IntToStr(static_cast<std::int64_t>(i)), scan[i - first],
                      mails[i].spam ? SpamLabel::Spam : SpamLabel::Wanted);
        }
        first = last;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("header + %d body lines: %zu bytes judged (%.0f a message), judging %.1f s, replay %.0f s\n",
                bodyLines, bytes, static_cast<double>(bytes) / mails.size(), judging, seconds);
    Report("all", judged);
    Report("later half", std::vector<Judged>(judged.begin() + judged.size() / 2, judged.end()));
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path corpus = argc > 1 ? fs::path(argv[1]) : fs::path("../shared/mail-corpus");
    if (!fs::exists(corpus / "ham") || !fs::exists(corpus / "spam")) {
        std::fprintf(stderr, "no corpus at %s (ham/ and spam/)\n", corpus.c_str());
        return 2;
    }
    const std::vector<Mail> mails = ReadCorpus(corpus);
    std::printf(
        "%zu messages in date order; the engine's own cutoff, then caught at 0.1 / 0.5 / 1 %% flagged\n",
        mails.size());
    for (int lines : {0, 5, 20}) Replay(mails, lines);
    return 0;
}
