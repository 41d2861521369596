#pragma once
// Names compared as a reader compares them, over UTF-8 text: case folded and
// composed (NFC) first, so "ÉMILIE", "émilie" and an "e" followed by a
// combining acute accent then "milie" are one name. Ill-formed bytes count as
// U+FFFD. Never throw (but std::bad_alloc).
#include <string>
#include <string_view>

// `utf8` composed (NFC) and case folded (full folding: "ß" gives "ss").
std::string FoldedText(std::string_view utf8);
// Whether `a` and `b` fold to the same text.
bool SameText(std::string_view a, std::string_view b);
// French collation ignoring case: accents count ("é" after "e") but sort with
// their letter ("été" before "f"); punctuation, then digits, then letters.
// Returns <0, 0, >0.
int CompareText(std::string_view a, std::string_view b);
// Whether the text is only "?" and U+FFFD (blanks aside): what is left of a
// name once a character set lost it, which would match every such name.
bool IsUnreadableText(std::string_view utf8);
// The text as Unicode's confusable detection sees it (TS 39 skeleton of the
// case-folded text, a capital I read as the l it imitates): "paypаl" with a
// Cyrillic "а", "paypaI" with a capital i, "arnis" and "AMIS" give the same
// skeleton as "paypal" and "amis". The checker is built once per process.
std::string ConfusableSkeleton(std::string_view utf8);
