#pragma once
// The order the grid shows the scanned messages in after a click on a
// heading: by number, date-time, sender, subject, size (a number) or status.
// The sort keys are read from the scan's rows here and nowhere else.
#include <vector>

#include "app/scan_record.h"

// The message numbers of `record` sorted by grid column `column` (0 to 5),
// ties kept in server order; `descending` reverses the order.
std::vector<int> SortedMessages(const ScanRecord& record, int column, bool descending);
