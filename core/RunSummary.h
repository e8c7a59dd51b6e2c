// What a comparison found, counted once it has ended: the summary the window
// shows until the next run.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/ResultTable.h"

namespace qm {

struct RunSummary {
    int compared = 0;  // rows of listed files and of files that no entry names
    int identical = 0;
    int notIdentical = 0;
    int updated = 0;
    int notListed = 0;
    int crcOnly = 0;  // entries that record no SHA-256: checked by the CRC-32 alone
    // The files whose CRC-32 is the recorded one while their content is not
    // (as the rows show their paths).
    std::vector<std::string> crafted;
    // The files that could not be read as they are now, by cause (missing,
    // no access, held open, unreadable, changing), in the order of RowCause.
    std::map<RowCause, int> unread;
};

RunSummary SummarizeRows(const CResultTable& table);

}  // namespace qm
