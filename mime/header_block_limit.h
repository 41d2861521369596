#pragma once
// Bounds what one header block may hold in memory: a server that sends an
// endless header (or an endless folded field) must end the action with a
// clear error instead of filling the memory.
#include <cstddef>
#include <string_view>

class HeaderBlockLimit {
public:
    static constexpr std::size_t kMaxBytes = 1024 * 1024;
    static constexpr std::size_t kMaxLines = 10000;
    // One field with its continuation lines joined.
    static constexpr std::size_t kMaxValueBytes = 64 * 1024;

    // Counts one line of the block (a continuation line when it starts with
    // a blank). Throws EIdHeaderTooLarge once a bound is passed.
    void Count(std::string_view line);
    // Counts a line dropped unread, `bytes` long with its line end; the
    // same bounds hold.
    void CountSkipped(std::size_t bytes);
    // How many more bytes the block may hold.
    std::size_t BytesLeft() const { return bytes_ < kMaxBytes ? kMaxBytes - bytes_ : 0; }

private:
    std::size_t bytes_ = 0;
    std::size_t lines_ = 0;
    std::size_t field_ = 0;
};
