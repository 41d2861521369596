#pragma once
// Text written in any character set the C library's iconv knows, turned into
// our Windows-1252 text. A character the code page cannot hold becomes one
// '?', and so does each run of bytes that forms no character of the set.
//
//   if (auto charset = Charset::Find("utf-8")) text = charset->ToAnsi(bytes);
//
// Conversion descriptors are opened once per charset and thread and kept for
// reuse, so a Charset found on one thread must be used on that thread.
#include <optional>
#include <string>
#include <string_view>

class Charset {
public:
    // The charset called `name`: case ignored, the usual aliases of mail
    // programs understood, surrounding blanks and double quotes and a
    // language suffix ("UTF-8*fr") ignored. Nothing when iconv has no such
    // charset, or the name holds characters no charset name has. Never throws
    // (but std::bad_alloc).
    static std::optional<Charset> Find(std::string_view name);

    // `bytes` as Windows-1252 text. NUL bytes stay NUL. Never throws (but
    // std::bad_alloc).
    std::string ToAnsi(std::string_view bytes) const;
    // Text in this charset is Windows-1252 already (ISO-8859-1 and US-ASCII
    // count as Windows-1252, as mail programs write them).
    bool IsAnsi() const;
    // CR, LF and NUL are single ASCII bytes in this charset, so its text may
    // be cut into lines before it is converted (not so in UTF-16 or UTF-32).
    bool HasByteLines() const;

    bool operator==(const Charset& other) const { return entry_ == other.entry_; }

    struct Entry;

private:
    explicit Charset(const Entry* entry) : entry_(entry) {}
    const Entry* entry_;
};
