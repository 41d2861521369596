#pragma once
// UUE and XXE lines: a length character (how many bytes the line carries),
// then groups of four characters. Characters beyond those the length needs
// are ignored (a trailing checksum, for instance). A line shorter than its
// length requires is completed with the alphabet's zero character, so it
// still yields exactly that many bytes. Never throws: the line is resized to
// the groups the length needs before decoding.
#include "mime/decoder.h"

class TIdDecoderUUEBase : public TIdDecoder4to3 {
public:
    void DecodeToStream(std::string_view text, std::ostream& stream) override;

protected:
    // `spaceAsZero`: read every space as `zeroChar` first (UUE).
    TIdDecoderUUEBase(const TDecodeTable& table, char padChar, char zeroChar, bool spaceAsZero)
        : TIdDecoder4to3(table, padChar), zeroChar_(zeroChar), spaceAsZero_(spaceAsZero) {}

private:
    char Normalised(char c) const { return spaceAsZero_ && c == ' ' ? zeroChar_ : c; }

    char zeroChar_;
    bool spaceAsZero_;
    // The resized line, reused between calls (at most 344 characters).
    std::string groups_;
};

// Traditional uuencode alphabet with the grave accent for 0; fill character "~".
class TIdDecoderUUE : public TIdDecoderUUEBase {
public:
    // Encoders that write a space for the value 0 decode the same.
    TIdDecoderUUE();
};

// Xxencode alphabet; fill character "~".
class TIdDecoderXXE : public TIdDecoderUUEBase {
public:
    TIdDecoderXXE();
};
