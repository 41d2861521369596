#pragma once
// The window of commands sent ahead of their answers (RFC 2449): what went
// out and awaits an answer, in order, within a count and a byte limit. The
// scan, the listings and the deletions all run their commands through it.
#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

struct Pop3Step {
    enum Kind { Top, List, Dele, Retr, Uidl, Capa, Stat } kind;
    int n;
};

// The command line of a step, CR LF included: "TOP n 0", "LIST", "DELE n"...
std::string Pop3CommandLine(const Pop3Step& step);

class Pop3Pipeline {
public:
    struct Entry {
        Pop3Step step;
        std::size_t length = 0;
        // Went out while another command was unanswered.
        bool together = false;
    };
    using Writer = std::function<void(std::string_view)>;

    Pop3Pipeline(Writer write, std::size_t maxCommands, std::size_t maxBytes);

    // Whether `step` fits in the window; an empty window takes any one.
    bool Room(const Pop3Step& step) const;
    // Half the window or more is free: worth a refill, so that commands go
    // out in a few large sends rather than one per answer.
    bool HalfFree() const;
    // Queued; it goes out with the next Flush or NextAnswer.
    void Push(const Pop3Step& step);
    void Flush();
    // Flushes, then takes the oldest unanswered command: its answer comes next.
    Entry NextAnswer();
    bool Empty() const { return due_.empty(); }
    // The commands whose answers are still due after the one taken.
    const std::deque<Entry>& Due() const { return due_; }
    // Their answers will never come (lost on the way): forgotten.
    void DropDue();
    // From now on one command at a time.
    void OneAtATime() { maxCommands_ = 1; }

private:
    Writer write_;
    std::size_t maxCommands_;
    std::size_t maxBytes_;
    std::deque<Entry> due_;
    std::size_t dueBytes_ = 0;
    std::string unsent_;
    std::size_t unsentCount_ = 0;  // the last entries of due_ not yet written
};
