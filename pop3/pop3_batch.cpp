// The scan's and the purge's commands in batches: sent ahead of the answers
// when the server pipelines (RFC 2449), else the sizes from one LIST.
#include <algorithm>
#include <optional>
#include <utility>

#include "message/message.h"
#include "net/net_errors.h"
#include "platform/text.h"
#include "pop3/pop3.h"
#include "pop3/pop3_errors.h"

namespace {
constexpr int kNotListed = -2;
}

const std::vector<std::string>& TIdPOP3::Capabilities() {
    WriteLine("CAPA");
    ReadCapabilities();
    return capabilities_;
}

void TIdPOP3::ReadCapabilities() {
    capabilities_.clear();
    capabilitiesKnown_ = ReadReply({}) == ReplyOk;
    if (capabilitiesKnown_)
        CaptureListing([this](std::string&& line) { capabilities_.push_back(std::move(line)); });
}

void TIdPOP3::CapabilitiesAfterLogIn() {
    if (!capabilitiesAfterLogIn_) Capabilities();
}

void TIdPOP3::AskAfterLogIn() {
    std::vector<Step> steps{{Step::Capa, 0}};
    steps.resize(static_cast<std::size_t>(std::max(CountsWithLogIn, 0)) + 1, {Step::Stat, 0});
    // The listings count on the last STAT's number.
    const bool listings =
        ListingsWithLogIn && CountsWithLogIn > 0 && (HasCapability("UIDL") || !CapabilitiesKnown());
    if (listings) {
        steps.push_back({Step::Uidl, 0});
        steps.push_back({Step::List, 0});
    }
    RunSteps(steps, Pipelining(), [this](const Step& step) {
        if (step.kind == Step::Stat) {
            ReadReply({ReplyOk});
            countsAhead_.push_back(ReplyCount());
            return;
        }
        if (step.kind == Step::Uidl || step.kind == Step::List) {
            if (!listingAhead_) listingAhead_.emplace();
            listingAheadCount_ = countsAhead_.back();
            ReadListing(step, listingAheadCount_, *listingAhead_);
            return;
        }
        // What a server offers may grow once the user is known.
        ReadCapabilities();
        capabilitiesAfterLogIn_ = true;
    });
}

std::vector<int> TIdPOP3::CountMessagesTimes(int times) {
    std::vector<int> counts;
    // Those sent with the log-in come first.
    const auto early = std::min(countsAhead_.size(), static_cast<std::size_t>(std::max(times, 0)));
    counts.assign(countsAhead_.begin(), countsAhead_.begin() + static_cast<std::ptrdiff_t>(early));
    countsAhead_.erase(countsAhead_.begin(), countsAhead_.begin() + static_cast<std::ptrdiff_t>(early));
    times -= static_cast<int>(early);
    if (times <= 0) return counts;
    RunSteps(std::vector<Step>(static_cast<std::size_t>(times), {Step::Stat, 0}), Pipelining(),
             [&](const Step&) {
                 ReadReply({ReplyOk});
                 counts.push_back(ReplyCount());
             });
    return counts;
}

void TIdPOP3::ExpectNoAnswerLeft() {
    // More answers than commands: which answer belonged to which command is
    // no longer known.
    if (InputBuffer().Size() > 0) {
        ReleaseSocket();
        throw EIdPOP3AnswerMismatch();
    }
}

void TIdPOP3::CaptureListing(const LineSink& sink) {
    std::size_t bytes = 0;
    std::size_t lines = 0;
    CaptureLines([&](std::string&& line) {
        bytes += line.size() + 2;
        if (++lines > MaxListingLines || bytes > MaxListingBytes) {
            // The rest of the answer would still be coming: no QUIT after it.
            ReleaseSocket();
            throw EIdPOP3ListingTooLarge();
        }
        sink(std::move(line));
    });
}

void TIdPOP3::EnableUtf8() {
    if (HasCapability("UTF8")) SendCommand("UTF8", -1);
}

bool TIdPOP3::HasCapability(std::string_view name) const {
    for (const std::string& line : capabilities_) {
        std::string_view keyword = std::string_view(line).substr(0, line.find(' '));
        if (SameText(std::string(keyword), std::string(name))) return true;
    }
    return false;
}

bool TIdPOP3::Pipelining() const {
    if (batchUnanswered_) return false;
    return Batching == pbPipelined || (Batching == pbAuto && HasCapability("PIPELINING"));
}

bool TIdPOP3::AnswerWithin(int ms) {
    return InputBuffer().Size() > 0 || FillInputBuffer(true, ms, false) > 0;
}

int TIdPOP3::BatchAnswerLimit() const {
    const int limit = std::max(1, PipelineAnswerLimit);
    return ReadTimeout > 0 ? std::min(limit, ReadTimeout) : limit;
}

Pop3Pipeline TIdPOP3::Window(bool ahead) {
    return Pop3Pipeline(
        [this](std::string_view text) { WriteText(text); },
        ahead && !batchUnanswered_ ? static_cast<std::size_t>(std::max(1, PipelineMaxCommands)) : 1,
        static_cast<std::size_t>(std::max(1, PipelineMaxBytes)));
}

void TIdPOP3::RunSteps(const std::vector<Step>& steps, bool ahead, const StepAnswer& answer,
                       bool* acceptedAfter) {
    Pop3Pipeline window = Window(ahead);
    std::size_t next = 0;           // the next step to send
    std::optional<Step> sentTwice;  // its second answer comes after the others
    for (std::size_t answered = 0; answered < steps.size(); ++answered) {
        if (window.Empty() && sentTwice) {
            bool unused = false;
            SkipAnswer(*std::exchange(sentTwice, std::nullopt), unused);
        }
        // One at a time, anything more than the answer asked is an old
        // command's: which is which is no longer known.
        if (window.Empty() && batchUnanswered_) ExpectNoAnswerLeft();
        if (window.Empty() || window.HalfFree()) {
            while (next < steps.size() && window.Room(steps[next])) window.Push(steps[next++]);
            window.Flush();
        }
        const Pop3Pipeline::Entry entry = window.NextAnswer();
        const Step& step = entry.step;
        const bool again = entry.together && !batchUnanswered_ && !AnswerWithin(BatchAnswerLimit());
        if (again) {
            // Lost on the way in, or only slow: sent once more alone, the
            // command gets the same answer either way.
            DoStatus(hsStatusText, pop3_text::kBatchUnanswered);
            batchUnanswered_ = true;
            window.OneAtATime();
            const auto isDele = [](const Pop3Pipeline::Entry& e) { return e.step.kind == Step::Dele; };
            if (step.kind == Step::Dele || std::any_of(window.Due().begin(), window.Due().end(), isDele)) {
                // A DELE goes once: whether it counted is unknown, and only
                // leaving without QUIT is sure to make it count for nothing.
                ReleaseSocket();
                throw EIdPOP3BatchUnanswered();
            }
            WriteText(Pop3CommandLine(step));
        }
        // After the answer to the command sent again, answers nobody asked
        // for yet are the others': the server was slow, not deaf.
        const auto othersLost = [&] {
            if (!again) return;
            if (AnswerWithin(BatchAnswerLimit())) {
                sentTwice = step;
            } else {
                window.DropDue();
                next = answered + 1;
            }
        };
        try {
            answer(step);
        } catch (const EIdProtocolReplyError&) {
            bool accepted = false;
            try {
                othersLost();
                accepted = SkipDue(window);
                if (sentTwice) SkipAnswer(*sentTwice, accepted);
            } catch (const std::exception&) {
                accepted = true;  // unknown: count it as accepted
            }
            if (acceptedAfter) *acceptedAfter = accepted;
            throw;
        }
        othersLost();
    }
    if (sentTwice) {
        bool unused = false;
        SkipAnswer(*sentTwice, unused);
    }
    ExpectNoAnswerLeft();
}

bool TIdPOP3::SkipDue(const Pop3Pipeline& window) {
    bool accepted = false;
    try {
        for (const Pop3Pipeline::Entry& entry : window.Due()) SkipAnswer(entry.step, accepted);
    } catch (const std::exception&) {
        accepted = true;  // unknown: count it as accepted
    }
    return accepted;
}

bool TIdPOP3::MarkOnlyAgain(const std::vector<int>& kept, bool ahead) {
    try {
        SendCommand("RSET", ReplyOk);
        std::vector<Step> again;
        again.reserve(kept.size());
        for (int n : kept) again.push_back({Step::Dele, n});
        RunSteps(again, ahead, [this](const Step&) { ReadReply({ReplyOk}); });
        return true;
    } catch (const std::exception&) {
        ReleaseSocket();
        return false;
    }
}

void TIdPOP3::SkipAnswer(const Step& step, bool& accepted) {
    if (ReadReply({}) != ReplyOk) return;
    accepted = accepted || step.kind == Step::Dele;
    // Listings (UIDL and LIST of every message) run to their "." too.
    if (step.kind == Step::Top || step.kind == Step::Retr || step.kind == Step::Capa ||
        ((step.kind == Step::Uidl || step.kind == Step::List) && step.n == 0))
        CaptureLines(LineSink());
}

std::vector<int> TIdPOP3::ListAll(int count) {
    WriteLine("LIST");
    return ReadSizes(count);
}

std::vector<int> TIdPOP3::ReadSizes(int count) {
    std::vector<int> sizes;
    if (ReadReply({}) != ReplyOk) return sizes;
    sizes.assign(static_cast<std::size_t>(count) + 1, kNotListed);
    CaptureListing([&](std::string&& line) {
        // "n size": the size an integer of its own, text after it allowed
        // (the size is then unknown, as in the answer to LIST n).
        const std::size_t blank = line.find(' ');
        const int n = StrToIntDef(line.substr(0, blank), 0);
        if (n < 1 || n > count || sizes[static_cast<std::size_t>(n)] != kNotListed) BadListing();
        const std::string size = blank == std::string::npos ? std::string() : line.substr(blank + 1);
        const std::string first = size.substr(0, size.find(' '));
        if (first.empty() || first.find_first_not_of("0123456789") != std::string::npos) BadListing();
        sizes[static_cast<std::size_t>(n)] = StrToIntDef(size, -1);
    });
    return sizes;
}

void TIdPOP3::ReadListing(const Step& step, int count, Listing& listing) {
    if (step.kind == Step::Uidl)
        listing.ids = ReadUniqueIds(count);
    else
        listing.sizes = ReadSizes(count);
}

TIdPOP3::Listing TIdPOP3::ListIdsAndSizes(int count) {
    // Those asked with the log-in, of the same count: no round trip of their own.
    std::optional<Listing> ahead = std::exchange(listingAhead_, std::nullopt);
    if (ahead && listingAheadCount_ == count) return std::move(*ahead);
    Listing listing;
    if (count <= 0) return listing;
    RunSteps({{Step::Uidl, 0}, {Step::List, 0}}, Pipelining(),
             [&](const Step& step) { ReadListing(step, count, listing); });
    return listing;
}

void TIdPOP3::ScanHeaders(int count, TIdMessage& message, const ScanEvents& events) {
    if (count <= 0) return;
    const bool ahead = Pipelining();
    std::vector<int> sizes;
    if (!ahead && Batching != pbSerial) sizes = ListAll(count);
    std::vector<int> numbers(static_cast<std::size_t>(count));
    for (int n = 1; n <= count; ++n) numbers[static_cast<std::size_t>(n) - 1] = n;
    // With the last commands: no round trip of its own.
    const bool uidlAhead = ahead && events.uniqueIds;
    RunScanSteps(numbers, sizes, message, events, uidlAhead ? count : 0);
    if (!ahead && events.uniqueIds) events.uniqueIds(ListUniqueIds(count));
}

void TIdPOP3::ScanSomeHeaders(const std::vector<int>& numbers, const std::vector<int>& sizes,
                              TIdMessage& message, const ScanEvents& events) {
    if (!numbers.empty()) RunScanSteps(numbers, sizes, message, events, 0);
}

void TIdPOP3::RunScanSteps(const std::vector<int>& numbers, const std::vector<int>& sizes,
                           TIdMessage& message, const ScanEvents& events, int uidlCount) {
    const auto listed = [&](int n) {
        return static_cast<std::size_t>(n) < sizes.size() && sizes[static_cast<std::size_t>(n)] != kNotListed;
    };
    std::vector<Step> steps;
    steps.reserve(numbers.size() * 2 + 1);
    for (int n : numbers) {
        steps.push_back({Step::Top, n});
        if (!listed(n)) steps.push_back({Step::List, n});
    }
    if (uidlCount > 0) steps.push_back({Step::Uidl, 0});
    RunSteps(steps, Pipelining(), [&](const Step& step) {
        if (step.kind == Step::Uidl) {
            events.uniqueIds(ReadUniqueIds(uidlCount));
            return;
        }
        ReadReply({ReplyOk});
        if (step.kind == Step::Top) {
            message.ClearAll();
            ReadHeaderLines(message, ".");
            events.header(step.n, message);
            // Sizes from the listing follow their header at once.
            if (listed(step.n)) events.size(step.n, sizes[static_cast<std::size_t>(step.n)]);
        } else {
            events.size(step.n, ReplySize(step.n));
        }
    });
}

void TIdPOP3::DeleteMessages(const std::vector<int>& numbers, std::size_t* marked) {
    std::size_t unused = 0;
    std::size_t& kept = marked ? *marked : unused;
    kept = 0;
    std::vector<Step> steps;
    steps.reserve(numbers.size());
    for (int n : numbers) steps.push_back({Step::Dele, n});
    deletionsSent_ = deletionsSent_ || !numbers.empty();
    const bool ahead = Pipelining();
    std::size_t confirmed = 0;
    const StepAnswer answer = [&](const Step&) {
        ReadReply({ReplyOk});
        ++confirmed;
    };
    bool acceptedAfter = false;
    try {
        RunSteps(steps, ahead, answer, &acceptedAfter);
        kept = confirmed;
    } catch (const EIdProtocolReplyError&) {
        kept = confirmed;
        if (acceptedAfter &&
            !MarkOnlyAgain({numbers.begin(), numbers.begin() + static_cast<std::ptrdiff_t>(confirmed)},
                           ahead))
            kept = 0;
        throw;
    } catch (const EIdPOP3AnswerMismatch&) {
        kept = 0;  // dropped without QUIT
        throw;
    } catch (const std::exception&) {
        // The answers still due are unknown: leaving without QUIT is the one
        // way to be sure none of those deletions happens.
        kept = confirmed;
        if (ahead && confirmed + 1 < steps.size()) {
            ReleaseSocket();
            kept = 0;
        }
        throw;
    }
}
