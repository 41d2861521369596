// Transfer decoding throughput: 50 MB of encoded text, one line per call, as
// reception hands it over, into a file stream. Reports MB/s of encoded input.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "mime/decoder.h"
#include "mime/decoder_quoted_printable.h"
#include "mime/decoder_uue.h"

namespace {

constexpr std::size_t kInputBytes = 50u << 20;

std::string RandomBytes(std::size_t n) {
    std::mt19937 random(1);
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

// Groups of three bytes as four characters of `alphabet`.
std::string Groups(std::string_view bytes, std::string_view alphabet) {
    std::string text;
    for (std::size_t i = 0; i + 3 <= bytes.size(); i += 3) {
        auto b = [&](std::size_t k) { return static_cast<unsigned char>(bytes[i + k]); };
        unsigned v = (b(0) << 16) | (b(1) << 8) | b(2);
        for (int shift : {18, 12, 6, 0}) text += alphabet[(v >> shift) & 63];
    }
    return text;
}

// 76-character base64 lines.
std::vector<std::string> Base64Lines() {
    std::vector<std::string> lines;
    std::string bytes = RandomBytes(57);
    for (std::size_t total = 0; total < kInputBytes; total += 76) {
        lines.push_back(Groups(bytes, decoder_alphabet::kMIME));
        bytes[0]++;
    }
    return lines;
}

// French text with accents escaped, in 76-character lines ending in a soft
// break, each with the CR LF reception appends.
std::vector<std::string> QuotedPrintableLines() {
    const std::string line =
        "Le caf=E9 de la gare =E9tait ferm=E9, =C7a arrive. Tarif : 10 =3D 10 euros=\r\n";
    return std::vector<std::string>(kInputBytes / line.size(), line);
}

// Full UUE lines: the length character "M" (45 bytes) and 60 characters.
std::vector<std::string> UueLines() {
    std::vector<std::string> lines;
    std::string line = "M" + Groups(RandomBytes(45), decoder_alphabet::kUUE);
    for (std::size_t total = 0; total < kInputBytes; total += line.size()) lines.push_back(line);
    return lines;
}

template <class Decoder>
void DecodeIntoFile(benchmark::State& state, const std::vector<std::string>& lines) {
    std::size_t input = 0;
    for (const std::string& line : lines) input += line.size();
    std::filesystem::path path = std::filesystem::temp_directory_path() / "vannoir_bench_decoders.bin";
    for (auto _ : state) {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        Decoder decoder;
        for (const std::string& line : lines) decoder.DecodeToStream(line, file);
        file.close();
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<std::int64_t>(input * state.iterations()));
}

void Base64(benchmark::State& state) {
    static const std::vector<std::string> lines = Base64Lines();
    DecodeIntoFile<TIdDecoderMIME>(state, lines);
}
void QuotedPrintable(benchmark::State& state) {
    static const std::vector<std::string> lines = QuotedPrintableLines();
    DecodeIntoFile<TIdDecoderQuotedPrintable>(state, lines);
}
void Uue(benchmark::State& state) {
    static const std::vector<std::string> lines = UueLines();
    DecodeIntoFile<TIdDecoderUUE>(state, lines);
}

BENCHMARK(Base64)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(QuotedPrintable)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(Uue)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
