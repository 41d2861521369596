// Header lines in, lookups and folding out: the first byte picks the fold
// width, the first line is the header name, the second a new value, the rest
// are the list's lines.
#include "message/header_list.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int width = data[0] % 100;
    std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string name = SplitAt(rest, "\n");
    const std::string value = SplitAt(rest, "\n");
    TIdHeaderList list;
    list.FoldWidth = width;
    while (!rest.empty()) list.Add(SplitAt(rest, "\n"));

    const int index = list.IndexOfHeader(name);
    if (index >= list.Count()) std::abort();
    if (index >= 0 && !SameText(list.NameAtLine(index), name)) std::abort();
    (void)list.ValueOf(name);

    const int before = list.Count();
    list.SetValueOf(name, value);
    if (value.empty() && list.Count() > before) std::abort();
    (void)list.ValueOf(name);

    const std::string wrapped = WrapAtBreakChars(value, "\r\n ", " \t,", width);
    if (wrapped.size() > value.size() * 4 + 3) std::abort();
    return 0;
}
