// Hand-edited settings, list and record files: any bytes read without harm,
// and what is written reads back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/scan_cells.h"
#include "app/scan_record_file.h"
#include "app/sender_list.h"
#include "platform/ini_file.h"
#include "platform/text.h"

namespace {

void CheckSettings(std::string_view bytes) {
    (void)IniValue(bytes, "Form", "Nbre");
    std::string written = IniWithValue(bytes, "Form", "Passe1", "#cfBC_");
    if (IniValue(written, "form", "PASSE1") != "#cfBC_") std::abort();
    if (auto without = IniWithoutKey(written, "Form", "Passe1");
        !without || without->size() >= written.size())
        std::abort();
}

void CheckList(std::string_view bytes) {
    std::vector<std::string> entries = ParseListFile(bytes);
    // Written in Windows-1252; bytes that happen to be UTF-8 as well are
    // read as UTF-8, like any such file.
    const std::string written = FormatListFile(entries);
    if (!IsNonAsciiUtf8(written) && ParseListFile(written) != entries) std::abort();
}

void CheckRecord(std::string_view bytes) {
    const MailboxIdentity mailbox{"pop.example.fr", 110, "anne"};
    auto record = ParseScanRecord(bytes, 1, mailbox);
    if (!record) return;
    auto again = ParseScanRecord(WithScanRecord(bytes, 1, mailbox, *record), 1, mailbox);
    if (!again || again->size() != record->size()) std::abort();
    for (std::size_t i = 0; i < record->size(); ++i)
        if (GridCells((*again)[i]) != GridCells((*record)[i]) ||
            (*again)[i].senders != (*record)[i].senders ||
            (*again)[i].headerDigest != (*record)[i].headerDigest ||
            (*again)[i].uniqueId != (*record)[i].uniqueId || (*again)[i].address != (*record)[i].address ||
            (*again)[i].fault != (*record)[i].fault)
            std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckSettings(bytes);
    CheckList(bytes);
    CheckRecord(bytes);
    return 0;
}
