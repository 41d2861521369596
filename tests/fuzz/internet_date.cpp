// A Date header value in: parse it, read its zone, convert it to local time.
#include "message/internet_date.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string rest = input;
    const TDateTime date = ParseInternetDate(rest);
    // No date, or a real one between year 1 and year 9999.
    if (date != 0 && (date < -693593 || date >= 2958466)) std::abort();
    if (rest.size() > input.size()) std::abort();
    if (std::fabs(ZoneOffsetFromText(rest)) >= 1) std::abort();
    (void)InternetDateToLocal(input);
    return 0;
}
