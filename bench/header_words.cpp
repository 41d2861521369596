// A subject folded over tens of thousands of adjacent encoded words, base64
// UTF-8 and quoted-printable Latin-1 in turn, one word a line: the header
// parse (lookup, unfolding, decoding) and the word decoder alone, the words
// adjacent or each between plain words. Reports the time per MB of header;
// 80,000 and 160,000 words must cost the same per MB.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "message/header_coder.h"
#include "message/message.h"

namespace {

const char* const kWords[] = {"=?UTF-8?B?w6l0w6kgw6AgUGFyaXM=?=", "=?ISO-8859-1?Q?caf=E9_cr=E8me_?="};

std::vector<std::string> SubjectLines(int words) {
    std::vector<std::string> lines{"From: Anne <anne@example.fr>", std::string("Subject: ") + kWords[0]};
    for (int i = 1; i < words; ++i) lines.push_back(std::string(" ") + kWords[i % 2]);
    lines.push_back("Date: Mon, 7 Dec 2026 09:00:00 +0100");
    return lines;
}

double Megabytes(const std::vector<std::string>& lines) {
    std::size_t bytes = 0;
    for (const std::string& line : lines) bytes += line.size() + 2;
    return static_cast<double>(bytes) / (1 << 20);
}

void Report(benchmark::State& state, double megabytes) {
    state.counters["header_MB"] = megabytes;
    // Seconds per MB of header, shown with its SI prefix ("m" for ms).
    state.counters["time_per_MB"] = benchmark::Counter(
        megabytes, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ParseFoldedSubject(benchmark::State& state) {
    const std::vector<std::string> lines = SubjectLines(static_cast<int>(state.range(0)));
    TIdMessage message;
    for (auto _ : state) {
        state.PauseTiming();
        message.ClearAll();
        for (const std::string& line : lines) message.HeaderLines.Add(line);
        state.ResumeTiming();
        message.ParseHeaderLines();
        benchmark::DoNotOptimize(message.Subject.data());
    }
    Report(state, Megabytes(lines));
}

// Argument 1: the words are separated by a plain word, so each is a run of its own.
void BM_DecodeAdjacentWords(benchmark::State& state) {
    const std::string between = state.range(1) ? " et " : " ";
    std::string value = kWords[0];
    for (int i = 1; i < state.range(0); ++i) value += between + kWords[i % 2];
    for (auto _ : state) benchmark::DoNotOptimize(DecodeHeaderWords(value));
    Report(state, static_cast<double>(value.size()) / (1 << 20));
}

// One subject of a single word, per call: argument 0 the quoted-printable
// Latin-1 word, 1 the base64 UTF-8 word.
void BM_DecodeOneWord(benchmark::State& state) {
    const std::string value = kWords[state.range(0) ? 0 : 1];
    for (auto _ : state) benchmark::DoNotOptimize(DecodeHeaderWords(value));
    state.SetLabel(state.range(0) ? "UTF-8 B" : "ISO-8859-1 Q");
}

BENCHMARK(BM_DecodeOneWord)->Arg(0)->Arg(1);
BENCHMARK(BM_ParseFoldedSubject)->Arg(80000)->Arg(160000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAdjacentWords)->ArgsProduct({{80000, 160000}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
