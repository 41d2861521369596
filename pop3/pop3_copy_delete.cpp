// Deletion that keeps a copy first: RETR, the bytes handed over as they
// come, then DELE once the copy is written, and one flush of all the copies
// before the session may end with QUIT. With pipelining the RETRs run ahead
// and each DELE rides along with the next ones.
#include <algorithm>
#include <deque>

#include "net/net_errors.h"
#include "platform/text.h"
#include "pop3/pop3.h"

namespace {

std::string CopyCommand(bool retrieve, int n) {
    return (retrieve ? "RETR " : "DELE ") + IntToStr(n) + "\r\n";
}

}  // namespace

void TIdPOP3::StreamMessage(const CopyEvents& events) {
    // The bytes go on as they came, line ends and all; only a dot at a line's
    // start is looked at: "." alone ends the answer, else the dot the server
    // added goes. Memory stays within what one receive brings.
    TIdManagedBuffer& buffer = InputBuffer();
    bool lineStart = true;
    for (;;) {
        const std::string_view view = buffer.View();
        const std::size_t lf = view.find('\n');
        if (view.empty() ||
            (lineStart && view[0] == '.' && lf == std::string_view::npos && view.size() < 3)) {
            FillInputBuffer(true, IdTimeoutDefault, true);
            CheckDisconnect(true, true);
            continue;
        }
        if (lineStart && view[0] == '.') {
            const bool last = lf == 1 || (lf == 2 && view[1] == '\r');
            buffer.Remove(last ? lf + 1 : 1);
            if (last) return;
            lineStart = false;
            continue;
        }
        const std::size_t n = lf == std::string_view::npos ? view.size() : lf + 1;
        events.bytes(view.substr(0, n));
        buffer.Remove(n);
        lineStart = lf != std::string_view::npos;
    }
}

void TIdPOP3::CopyAndDeleteMessages(const std::vector<int>& numbers, const CopyEvents& events,
                                    std::vector<int>* marked) {
    std::vector<int> unused;
    std::vector<int>& kept = marked ? *marked : unused;
    kept.clear();
    const bool ahead = Pipelining();
    const std::size_t maxCommands = ahead ? static_cast<std::size_t>(std::max(1, PipelineMaxCommands)) : 1;
    const std::size_t maxBytes = static_cast<std::size_t>(std::max(1, PipelineMaxBytes));
    std::deque<Step> due;  // sent, answer awaited
    std::string unsent;    // commands not yet written
    std::size_t next = 0;  // the next RETR to send
    std::size_t dueBytes = 0;
    const auto queue = [&](Step::Kind kind, int n) {
        const std::string line = CopyCommand(kind == Step::Retr, n);
        dueBytes += line.size();
        unsent += line;
        due.push_back({kind, n});
    };
    // Nothing marked is removed before QUIT: the copies need to be durable
    // only then, all in one flush. Without it the session goes unclosed, so
    // the server removes none of them.
    const auto settle = [&] {
        if (kept.empty()) return;
        bool durable = false;
        try {
            durable = IsConnected() && events.sync();
        } catch (const std::exception&) {
        }
        if (durable) return;
        ReleaseSocket();
        kept.clear();
    };
    try {
        while (next < numbers.size() || !due.empty()) {
            // The RETRs run ahead as far as the window goes; serially the
            // next one waits for the DELE's answer.
            while (next < numbers.size() && due.size() < maxCommands &&
                   (due.empty() || dueBytes + CopyCommand(true, numbers[next]).size() <= maxBytes))
                queue(Step::Retr, numbers[next++]);
            if (!unsent.empty()) WriteText(unsent);
            unsent.clear();
            const Step step = due.front();
            due.pop_front();
            dueBytes -= CopyCommand(step.kind == Step::Retr, step.n).size();
            if (step.kind == Step::Dele) {
                ReadReply({ReplyOk});
                kept.push_back(step.n);
                continue;
            }
            const bool retrieved = ReadReply({}) == ReplyOk;
            if (retrieved) {
                events.start(step.n);
                StreamMessage(events);
            }
            // Its copy written, the message's DELE goes with the next write.
            if (events.done(step.n, retrieved)) queue(Step::Dele, step.n);
        }
    } catch (const EIdProtocolReplyError&) {
        UndoDeletesAfterRefusal({due.begin(), due.end()}, kept, ahead);
        if (!IsConnected()) kept.clear();
        settle();
        throw;
    } catch (const std::exception&) {
        // Unanswered DELEs may or may not count: leaving without QUIT is the
        // one way to be sure none of them does.
        if (std::any_of(due.begin(), due.end(), [](const Step& s) { return s.kind == Step::Dele; })) {
            ReleaseSocket();
            kept.clear();
        }
        settle();
        throw;
    }
    settle();
}

void TIdPOP3::UndoDeletesAfterRefusal(const std::vector<Step>& due, const std::vector<int>& kept,
                                      bool ahead) {
    bool accepted = false;
    try {
        for (const Step& step : due) SkipAnswer(step, accepted);
    } catch (const std::exception&) {
        accepted = true;  // unknown: count it as accepted
    }
    if (!accepted) return;
    try {
        SendCommand("RSET", ReplyOk);
        std::vector<Step> again;
        for (int n : kept) again.push_back({Step::Dele, n});
        RunSteps(again, ahead, [this](const Step&) { ReadReply({ReplyOk}); });
    } catch (const std::exception&) {
        ReleaseSocket();
    }
}
