#pragma once
// The rows of the last scan of each account, kept in a file between runs of
// the command-line program (which has no grid in memory), so a later
// deletion can be guarded exactly as the window guards it.
//
// Format, one section per account, lines ending in CR LF:
//   [Compte 1]
//   Boite<TAB>host<TAB>port<TAB>user       the mailbox the rows come from
//   Version<TAB>2                          the layout below
//   Message<TAB>number<TAB>name<TAB>address<TAB>subject<TAB>size<TAB>status
//                                          one per row, in order; size empty
//                                          when unknown, status "", "ami",
//                                          "intrus" or "ami douteux"
//   Date<TAB>written<TAB>offset<TAB>local  its date, when it has one: seconds
//                                          from 30/12/1899, offset in minutes
//   Adresse<TAB>address                    each address its From names
//   Illisible<TAB>sender<TAB>cause         for a header not read all through
//   Empreinte<TAB>digest                   its HeaderDigest (always there)
//   Id<TAB>unique id                       its UIDL, when the server gave one
// A record without the version line (of an earlier version), that misses a
// row's digest, or holds a line of another kind, is no record: a deletion
// then waits for a new scan rather than trust a guard it cannot check.
// Fields escape "%", TAB, CR, LF and byte 0 as "%25", "%09", "%0D", "%0A",
// "%00". Everything else is kept as it is.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "app/scan_record.h"

struct MailboxIdentity {
    std::string host;
    int port = 0;
    std::string user;
    bool operator==(const MailboxIdentity&) const = default;
};

// A section's lines without its section line, and back: the rows of one
// mailbox in a file of their own (the header cache's). nullopt as below.
std::string FormatScanRows(const MailboxIdentity& mailbox, const ScanRecord& record);
std::optional<ScanRecord> ParseScanRows(std::string_view bytes, const MailboxIdentity& mailbox);

// The same over the file's bytes: the record of account `slot`, or nullopt
// (never throws); and the bytes with that account's section replaced.
std::optional<ScanRecord> ParseScanRecord(std::string_view bytes, int slot, const MailboxIdentity& mailbox);
std::string WithScanRecord(std::string_view bytes, int slot, const MailboxIdentity& mailbox,
                           const ScanRecord& record);

// The record of account `slot`, or nullopt when the file or the account's
// section is missing, was made of another mailbox, or is damaged. Never throws.
std::optional<ScanRecord> ReadScanRecord(const std::filesystem::path& file, int slot,
                                         const MailboxIdentity& mailbox);

// Replaces the section of account `slot` (the others are kept), the file
// readable by its owner only. Throws EIniWriteError.
void WriteScanRecord(const std::filesystem::path& file, int slot, const MailboxIdentity& mailbox,
                     const ScanRecord& record);
