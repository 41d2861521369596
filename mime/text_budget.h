#pragma once
// How much text one received message may keep in memory for its reader, over
// its body and all its text parts together. Past the bound the rest of the
// text is read and dropped (the session goes on), and the kept text ends with
// the note kTruncatedNote, so a huge or endless text never exhausts memory.
#include <cstddef>
#include <string_view>

namespace mime_text {
inline constexpr const char* kTruncatedNote = "[… message tronqué : plus de 32 Mo ou de 1 000 000 lignes]";
}

class TextBudget {
public:
    static constexpr std::size_t kMaxBytes = 32u << 20;
    static constexpr std::size_t kMaxLines = 1000000;

    explicit TextBudget(std::size_t maxBytes = kMaxBytes, std::size_t maxLines = kMaxLines)
        : bytesLeft_(maxBytes), linesLeft_(maxLines) {}

    // Whether a line of `size` bytes, its line end counted, still fits; once
    // one does not, none does and Cut() is true.
    bool Take(std::size_t size);
    // Whether a line being built may grow to `size` bytes (checked as it
    // grows, so one endless line is stopped too).
    bool Fits(std::size_t size);
    // More bytes than are left: nothing more fits from here on.
    void MarkCut() { cut_ = true; }
    bool Cut() const { return cut_; }
    // Bytes still free.
    std::size_t BytesLeft() const { return cut_ ? 0 : bytesLeft_; }
    // The longest line that fit before the cut: what an overflowing line may keep.
    std::size_t Room() const { return linesLeft_ == 0 || bytesLeft_ < 2 ? 0 : bytesLeft_ - 2; }

private:
    std::size_t bytesLeft_;
    std::size_t linesLeft_;
    bool cut_ = false;
};
