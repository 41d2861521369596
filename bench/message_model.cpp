// Cost per call of the header text model on the screener's scan path: one
// lookup, one From address, one date and one subject per message.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "message/email_address.h"
#include "message/header_coder.h"
#include "message/header_list.h"
#include "message/internet_date.h"

namespace {

TIdHeaderList ThirtyLineHeader() {
    TIdHeaderList list;
    for (int i = 0; i < 8; ++i) {
        list.Add("Received: from relay" + std::to_string(i) + ".example.net (relay.example.net [192.0.2.1])");
        list.Add("\tby mx.example.fr with ESMTPS id 4B2C3D; Fri, 07 Sep 2001 10:05:30 +0200");
    }
    const char* rest[] = {"Return-Path: <jean.dupont@example.fr>",
                          "Message-ID: <20010907100530.1234@example.fr>",
                          "MIME-Version: 1.0",
                          "Content-Type: text/plain; charset=iso-8859-1",
                          "Content-Transfer-Encoding: quoted-printable",
                          "X-Mailer: Courrier 4.2",
                          "X-Priority: 3",
                          "To: marie@example.fr",
                          "Cc: paul@example.fr",
                          "Date: Fri, 07 Sep 2001 10:05:30 +0200",
                          "From: \"Dupont, Jean\" <jean.dupont@example.fr>",
                          "Subject: =?ISO-8859-1?Q?R=E9union_de_d=E9cembre?=",
                          "Organization: Example",
                          "Subject-Extra: x"};
    for (const char* line : rest) list.Add(line);
    return list;
}

void BM_ValueOf(benchmark::State& state) {
    const TIdHeaderList list = ThirtyLineHeader();
    for (auto _ : state) benchmark::DoNotOptimize(list.ValueOf("Subject"));
}
BENCHMARK(BM_ValueOf);

void BM_ValueOfAbsent(benchmark::State& state) {
    const TIdHeaderList list = ThirtyLineHeader();
    for (auto _ : state) benchmark::DoNotOptimize(list.ValueOf("Reply-To"));
}
BENCHMARK(BM_ValueOfAbsent);

void BM_FromAddress(benchmark::State& state) {
    TIdEMailAddressItem item;
    for (auto _ : state) {
        item.SetText("\"Dupont, Jean\" <jean.dupont@example.fr>");
        benchmark::DoNotOptimize(item.Name);
    }
}
BENCHMARK(BM_FromAddress);

void BM_InternetDateToLocal(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(InternetDateToLocal("Fri, 07 Sep 2001 10:05:30 +0200"));
}
BENCHMARK(BM_InternetDateToLocal);

void BM_DecodeQSubject(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeHeaderWords("=?ISO-8859-1?Q?R=E9union_de_d=E9cembre_=E0_Paris?="));
}
BENCHMARK(BM_DecodeQSubject);

void BM_DecodeBSubject(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            DecodeHeaderWords("=?windows-1252?B?Uul1bmlvbiBkZSBk6WNlbWJyZSDgIFBhcmlz?="));
}
BENCHMARK(BM_DecodeBSubject);

// The same subject as today's mail programs write it.
void BM_DecodeUtf8QSubject(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeHeaderWords("=?UTF-8?Q?R=C3=A9union_de_d=C3=A9cembre_=C3=A0_Paris?="));
}
BENCHMARK(BM_DecodeUtf8QSubject);

void BM_DecodeUtf8BSubject(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeHeaderWords("=?UTF-8?B?UsOpdW5pb24gZGUgZMOpY2VtYnJlIMOgIFBhcmlz?="));
}
BENCHMARK(BM_DecodeUtf8BSubject);

// A charset that goes through iconv, and a subject cut in two words.
void BM_DecodeIso885915QSubject(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            DecodeHeaderWords("=?ISO-8859-15?Q?R=E9union_de_d=E9cembre_=E0_Paris_=A4?="));
}
BENCHMARK(BM_DecodeIso885915QSubject);

void BM_DecodeUtf8TwoBWords(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            DecodeHeaderWords("=?UTF-8?B?UsOpdW5pb24gZGUgZMOp?=\r\n =?UTF-8?B?Y2VtYnJlIMOgIFBhcmlz?="));
}
BENCHMARK(BM_DecodeUtf8TwoBWords);

}  // namespace

int main(int argc, char** argv) {
    // A fixed zone, as on a user's machine in France.
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
