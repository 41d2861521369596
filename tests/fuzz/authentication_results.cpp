// Arbitrary header blocks into the result reader: anyone may write these
// headers, so nothing may leave it but typed results, and every result it
// keeps has a method and a result in lower case.
#include "message/authentication_results.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_lines.h"
#include "platform/text.h"

namespace {

void Check(const AuthResults& results) {
    if (results.authservId != LowerCase(results.authservId)) std::abort();
    for (const AuthMethodResult& r : results.results) {
        if (r.method.empty() || r.result.empty() || r.method != LowerCase(r.method)) std::abort();
        for (const AuthProperty& p : r.properties)
            if (p.type.empty() || p.name.empty()) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    TIdHeaderList header;
    try {
        Check(ParseAuthenticationResults(input));
        Check(ParseArcAuthenticationResults(input));
        while (!input.empty()) {
            std::string_view line = fuzz::TakeLine(input);
            if (!line.empty()) header.Add(std::string(line));
        }
        for (const ResultService& service :
             {ResultService{{"mx.exemple.fr"}, false}, ResultService{{"*.exemple.fr"}, false},
              ResultService{{}, true}}) {
            const auto results = TrustedResults(header, service);
            if (results) {
                Check(*results);
                (void)VerdictText(*results);
            }
            (void)Alignment(results, "amis.fr");
        }
    } catch (...) {
        std::abort();
    }
    return 0;
}
