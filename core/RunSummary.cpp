#include "core/RunSummary.h"

#include "core/FileStatus.h"

namespace qm {

RunSummary SummarizeRows(const IResultList& list) {
    RunSummary summary;
    for (int row = 0; row < list.RowCount(); ++row) {
        const RowAttributes attributes = list.GetRowAttributes(row);
        ++summary.compared;
        switch (attributes.image) {
            case Identical:
                ++summary.identical;
                break;
            case Updated:
                ++summary.updated;
                break;
            case NotListed:
                ++summary.notListed;
                break;
            default:
                ++summary.notIdentical;
                break;
        }
        if (attributes.digest == RowDigest::Crc32) ++summary.crcOnly;
        if (attributes.cause == RowCause::ContentChangedSameCrc) {
            summary.crafted.push_back(list.GetCellText(row, kColFileName));
        }
    }
    return summary;
}

}  // namespace qm
