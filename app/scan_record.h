#pragma once
// What the last scan saw: one typed row per message. The grid, the print,
// the journal, the command line's TSV and JSON and the record file read the
// fields; the preview compares a message's header with its row's, the
// deletion its header, size and unique id too, so a mailbox changed by
// another client (the numbers shifted) is noticed before acting on the wrong
// message, even when two messages share a header.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/spam_engine.h"
#include "message/authentication_results.h"
#include "message/internet_date.h"

// What the lists say of a sender; the intruder list wins over the friends.
// DoubtfulFriend: on the friend list, but the account's provider says the
// mail does not come from that sender; no friend, so nothing protects it.
enum class SenderStatus { None, Friend, Intruder, DoubtfulFriend };

struct ScanRow {
    int number = 0;
    // The Date header; nullopt when there is none or it cannot be read.
    std::optional<MessageDate> date;
    // The From's display name and address as the address parser gives them.
    std::string name;
    std::string address;
    // A From the parser refused, as received (controls made safe): name is
    // then empty and address the first one SenderAddresses could read.
    std::string unreadSender;
    // Every address the From names (see SenderAddresses), for the lists.
    std::vector<std::string> senders;
    std::string subject;
    // The size the server listed; nullopt when it gave none that reads.
    std::optional<std::int64_t> size;
    SenderStatus status = SenderStatus::None;
    // What the account's receiving service says of the From domain, and
    // its results as text ("dmarc=fail header.from=amis.fr"; empty when it
    // said nothing trusted).
    SenderAuthentication authentication = SenderAuthentication::Unknown;
    std::string verdict;
    // Why the sender looks like another than it is ("ressemble à
    // claire@amis.fr"), as the user reads it.
    std::vector<std::string> lookAlikes;
    // HeaderDigest of the header lines: the header without a copy of it.
    std::string headerDigest;
    // The server's unique id (UIDL); empty when it offers none.
    std::string uniqueId;
    // Why part of the header could not be read; empty for a readable one.
    std::string fault;
    // What the spam engine said; no score when none judged the message.
    SpamVerdict spam;
};

// On no list, and the spam engine judged it spam: the "S" mark. Friends
// never are, and intruders stay intruders.
inline bool IsSuspect(const ScanRow& row) {
    return row.status == SenderStatus::None && row.spam.score && row.spam.judgement == SpamJudgement::Spam;
}

// MD5 of the header lines, each followed by CR LF, as 32 lower-case hex digits.
std::string HeaderDigest(const std::vector<std::string>& lines);

// Row of message i at index i - 1; only rows the scan completed.
using ScanRecord = std::vector<ScanRow>;

// The row of `message`, or nullptr when the last scan did not complete it.
inline const ScanRow* RowOf(const ScanRecord& record, int message) {
    if (message < 1 || static_cast<std::size_t>(message) > record.size()) return nullptr;
    return &record[static_cast<std::size_t>(message) - 1];
}
