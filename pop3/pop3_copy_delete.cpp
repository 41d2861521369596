// Deletion that keeps a copy first: RETR, the bytes handed over as they
// come, then DELE once the copy is written, and one flush of all the copies
// before the session may end with QUIT. With pipelining the RETRs run ahead
// and each DELE rides along with the next ones.
#include <algorithm>

#include "net/net_errors.h"
#include "platform/text.h"
#include "pop3/pop3.h"

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
    Pop3Pipeline window = Window(ahead);
    std::size_t next = 0;  // the next RETR to send
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
        while (next < numbers.size() || !window.Empty()) {
            // The RETRs run ahead as far as the window goes; serially the
            // next one waits for the DELE's answer.
            while (next < numbers.size() && window.Room({Step::Retr, numbers[next]}))
                window.Push({Step::Retr, numbers[next++]});
            const Step step = window.NextAnswer().step;
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
            if (events.done(step.n, retrieved)) {
                deletionsSent_ = true;
                window.Push({Step::Dele, step.n});
            }
        }
    } catch (const EIdProtocolReplyError&) {
        if (SkipDue(window) && !MarkOnlyAgain(kept, ahead)) kept.clear();
        if (!IsConnected()) kept.clear();
        settle();
        throw;
    } catch (const std::exception&) {
        // Unanswered DELEs may or may not count: leaving without QUIT is the
        // one way to be sure none of them does.
        if (std::any_of(window.Due().begin(), window.Due().end(),
                        [](const Pop3Pipeline::Entry& e) { return e.step.kind == Step::Dele; })) {
            ReleaseSocket();
            kept.clear();
        }
        settle();
        throw;
    }
    settle();
}
