#pragma once
// Shared body of the transfer-decoder fuzz targets: the input is cut into
// lines at LF and each line goes to one decoder instance, as reception does.
// Each line is copied into a block of exactly its length so that the sanitizer
// sees any read past its end. The only error allowed is the decoder's own.
#include <cstdint>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string_view>

#include "fuzz_lines.h"
#include "platform/id_exception.h"

namespace fuzz {

// Accepts and forgets every byte.
class SinkBuf : public std::streambuf {
protected:
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

template <class Decoder>
int DecodeLines(const std::uint8_t* data, std::size_t size, std::string_view lineEnd) {
    SinkBuf sink;
    std::ostream out(&sink);
    Decoder decoder;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    while (!input.empty()) {
        std::string_view line = TakeLine(input);
        std::size_t length = line.size() + lineEnd.size();
        auto exact = std::make_unique<char[]>(length);
        std::copy(line.begin(), line.end(), exact.get());
        std::copy(lineEnd.begin(), lineEnd.end(), exact.get() + line.size());
        try {
            decoder.DecodeToStream(std::string_view(exact.get(), length), out);
        } catch (const EIdException&) {
            // an irregular 4-to-3 length: the one error the decoders raise
        }
    }
    return 0;
}

}  // namespace fuzz
