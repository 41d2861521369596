#pragma once
// A scan row from a message's header alone. One message's header never ends
// the scan: what cannot be read is shown as received and the row says why.
#include <string_view>

#include "app/scan_record.h"
#include "message/header_list.h"
#include "platform/date_time.h"

// Number, date (shifted by `localOffset`, LocalZoneOffset read once for the
// scan), sender, every sender address, subject, digest and what `service`
// (the account's receiving service) says of the sender, of message
// `number`; size, status and unique id are left for the scan. Never throws
// for what the header holds: a From the address parser refuses is kept in
// unreadSender, a subject that does not decode as received (controls made
// safe), and `fault` names the first cause: `readFault` when the header
// came with a cause already (a line too long to read).
ScanRow ScanRowFromHeader(int number, const TIdHeaderList& header, TDateTime localOffset,
                          std::string_view readFault = {}, const ResultService& service = {});
