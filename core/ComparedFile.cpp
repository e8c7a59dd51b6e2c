#include "core/ComparedFile.h"

#include "core/BoundedFormat.h"
#include "core/Capacities.h"
#include "core/ReadingLoop.h"
#include "core/ReleaseListFormat.h"

namespace qm {

const std::string& StatusTexts::Of(FileStatus status) const {
    switch (status) {
        case Identical:
            return identical;
        case Updated:
            return updated;
        case NotListed:
            return notListed;
        case NotIdentical:
            break;
    }
    return notIdentical;
}

std::string ColumnText(const ComparedFile& file, int column, const StatusTexts& texts) {
    switch (column) {
        case kColFileName:
            return ShownListedPath(file.path);
        case kColStatus:
            return CutToCapacity(texts.Of(file.status), kStatusCapacity);
        case kColCrcCurrent:
            return file.crcNow;
        case kColDateCurrent:
            return file.dateNow;
        case kColCrcRelease:
            return file.crcRecorded;
        case kColDateRelease:
            return file.dateRecorded;
        case kColComment:
            return file.comment;
        case kColEntry:
            return file.entry > 0 ? BoundedFormat(kEntryNumberCapacity, nullptr, "%d", file.entry)
                                  : std::string();
        case kColSection:
            return file.section == 0 || file.section == 1
                       ? kComponentDirectories[file.section].section
                       : "";
        default:
            return std::string();
    }
}

const char* CauseText(RowCause cause) {
    switch (cause) {
        case RowCause::SameContent:
            return QM_CAUSE_SAME_CONTENT;
        case RowCause::SameCrc:
            return QM_CAUSE_SAME_CRC;
        case RowCause::ContentChanged:
            return QM_CAUSE_CONTENT_CHANGED;
        case RowCause::ContentChangedSameCrc:
            return QM_CAUSE_CONTENT_CHANGED_SAME_CRC;
        case RowCause::BadDigest:
            return QM_CAUSE_BAD_DIGEST;
        case RowCause::ChangedWhileRead:
            return QM_CAUSE_CHANGED_WHILE_READ;
        case RowCause::Missing:
            return QM_CAUSE_MISSING;
        case RowCause::NoAccess:
            return QM_CAUSE_NO_ACCESS;
        case RowCause::HeldOpen:
            return QM_CAUSE_HELD_OPEN;
        case RowCause::Unreadable:
            return QM_CAUSE_UNREADABLE;
        case RowCause::NotListed:
            return QM_CAUSE_NOT_LISTED;
        case RowCause::SizeChanged:
            return QM_CAUSE_SIZE_CHANGED;
        case RowCause::Folder:
            return QM_CAUSE_FOLDER;
        case RowCause::DllRedirection:
            return QM_CAUSE_DLL_REDIRECTION;
        case RowCause::Manifest:
            return QM_CAUSE_MANIFEST;
        case RowCause::ProgramByContent:
            return QM_CAUSE_PROGRAM_BY_CONTENT;
        case RowCause::TooLarge: {
            static const std::string text =
                std::string(QM_CAUSE_TOO_LARGE " ") + kLargestUnlistedFileWords;
            return text.c_str();
        }
        case RowCause::Unknown:
            break;
    }
    return "";
}

bool IsUnread(RowCause cause) {
    switch (cause) {
        case RowCause::Missing:
        case RowCause::NoAccess:
        case RowCause::HeldOpen:
        case RowCause::Unreadable:
        case RowCause::ChangedWhileRead:
        case RowCause::TooLarge:
            return true;
        default:
            return false;
    }
}

}  // namespace qm
