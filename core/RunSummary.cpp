#include "core/RunSummary.h"

#include "core/FileStatus.h"

namespace qm {

RunSummary SummarizeRows(const CResultTable& table) {
    RunSummary summary;
    for (int row = 0; row < table.RowCount(); ++row) {
        const ComparedFile& file = table.Rows()[row].file;
        ++summary.compared;
        switch (file.status) {
            case Identical:
                ++summary.identical;
                break;
            case Updated:
                ++summary.updated;
                break;
            case NotListed:
                ++summary.notListed;
                break;
            case NotIdentical:
                ++summary.notIdentical;
                break;
        }
        if (file.digest == RowDigest::Crc32) ++summary.crcOnly;
        if (file.cause == RowCause::ContentChangedSameCrc) {
            summary.crafted.push_back(table.CellText(row, kColFileName));
        }
        if (IsUnread(file.cause)) ++summary.unread[file.cause];
    }
    return summary;
}

}  // namespace qm
