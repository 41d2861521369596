#include "platform/unicode_text.h"

#include <unicode/ucol.h>
#include <unicode/unorm2.h>
#include <unicode/uspoof.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <memory>

#include "platform/text.h"

namespace {

bool IsAscii(std::string_view s) {
    return std::none_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

std::u16string ToUtf16(std::string_view utf8) {
    std::u16string out(utf8.size(), u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length, utf8.data(),
                         static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &status);
    out.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return out;
}

std::string ToUtf8(const std::u16string& utf16) {
    std::string out(utf16.size() * 3, '\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &length, utf16.data(),
                static_cast<int32_t>(utf16.size()), &status);
    out.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return out;
}

std::u16string Composed(const std::u16string& text) {
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfc = unorm2_getNFCInstance(&status);
    if (U_FAILURE(status)) return text;
    // Composition never makes the text longer than three times itself.
    std::u16string out(text.size() * 3 + 1, u'\0');
    const int32_t length = unorm2_normalize(nfc, text.data(), static_cast<int32_t>(text.size()), out.data(),
                                            static_cast<int32_t>(out.size()), &status);
    if (U_FAILURE(status)) return text;
    out.resize(static_cast<std::size_t>(length));
    return out;
}

std::u16string CaseFolded(const std::u16string& text) {
    // Full folding at most triples a character ("ΐ" gives three).
    std::u16string out(text.size() * 3 + 1, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = u_strFoldCase(out.data(), static_cast<int32_t>(out.size()), text.data(),
                                         static_cast<int32_t>(text.size()), U_FOLD_CASE_DEFAULT, &status);
    if (U_FAILURE(status)) return text;
    out.resize(static_cast<std::size_t>(length));
    return out;
}

struct CollatorClose {
    void operator()(UCollator* c) const { ucol_close(c); }
};

UCollator* FrenchCollator() {
    static thread_local std::unique_ptr<UCollator, CollatorClose> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<UCollator, CollatorClose> c(ucol_open("fr", &status));
        if (c) ucol_setStrength(c.get(), UCOL_SECONDARY);
        return c;
    }();
    return collator.get();
}

}  // namespace

std::string FoldedText(std::string_view utf8) {
    if (IsAscii(utf8)) {
        std::string out(utf8);
        for (char& c : out) c = AsciiLower(c);
        return out;
    }
    // Folding may undo a composition ("Ǆ" and the like): compose again.
    return ToUtf8(Composed(CaseFolded(Composed(ToUtf16(utf8)))));
}

bool SameText(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b))
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return AsciiLower(x) == AsciiLower(y);
               });
    return FoldedText(a) == FoldedText(b);
}

int CompareText(std::string_view a, std::string_view b) {
    UCollator* collator = FrenchCollator();
    if (!collator) return FoldedText(a).compare(FoldedText(b));
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r = ucol_strcollUTF8(collator, a.data(), static_cast<int32_t>(a.size()), b.data(),
                                                static_cast<int32_t>(b.size()), &status);
    if (U_FAILURE(status)) return FoldedText(a).compare(FoldedText(b));
    return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}

bool IsUnreadableText(std::string_view utf8) {
    bool any = false;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = 0;
        i += Utf8Next(utf8, i, cp);
        if (cp <= 32) continue;
        if (cp != '?' && cp != 0xFFFD) return false;
        any = true;
    }
    return any;
}

namespace {

std::u16string Skeleton(const USpoofChecker* checker, const std::u16string& text) {
    UErrorCode status = U_ZERO_ERROR;
    // A skeleton is seldom longer than its text; one retry with the size asked.
    std::u16string out(text.size() * 2 + 8, u'\0');
    int32_t length = uspoof_getSkeleton(checker, 0, text.data(), static_cast<int32_t>(text.size()),
                                        out.data(), static_cast<int32_t>(out.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        status = U_ZERO_ERROR;
        out.assign(static_cast<std::size_t>(length) + 1, u'\0');
        length = uspoof_getSkeleton(checker, 0, text.data(), static_cast<int32_t>(text.size()), out.data(),
                                    static_cast<int32_t>(out.size()), &status);
    }
    if (U_FAILURE(status)) return text;
    out.resize(static_cast<std::size_t>(length));
    return out;
}

}  // namespace

std::string ConfusableSkeleton(std::string_view utf8) {
    static USpoofChecker* const checker = [] {
        UErrorCode status = U_ZERO_ERROR;
        USpoofChecker* opened = uspoof_open(&status);
        return U_SUCCESS(status) ? opened : nullptr;
    }();
    std::u16string text = ToUtf16(utf8);
    // Folded first, so that case never tells two senders apart; but a
    // capital I, the one capital that imitates another small letter, is
    // an l.
    std::replace(text.begin(), text.end(), u'I', u'l');
    text = CaseFolded(text);
    return ToUtf8(checker ? Skeleton(checker, text) : text);
}
