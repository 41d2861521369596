#pragma once
// Text written in any character set the C library's iconv knows, turned into
// our UTF-8 text, every character kept. Each run of bytes that forms no
// character of the set becomes one U+FFFD.
//
//   text = Charset::ForText(declaredName).ToUtf8(bytes);
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

    // The charset to read text declared as `declaredName`: with no name, UTF-8
    // when the text is well-formed UTF-8 and Windows-1252 otherwise; with a
    // name iconv does not know, Windows-1252 (the bytes shown as they are).
    // ISO-8859-1 and US-ASCII read as Windows-1252, as mail programs write them.
    static Charset ForText(std::string_view declaredName);

    // `bytes` as UTF-8 text. NUL bytes stay NUL. Never throws (but
    // std::bad_alloc).
    std::string ToUtf8(std::string_view bytes) const;
    // Text in this charset reads as Windows-1252 (ISO-8859-1 and US-ASCII
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
