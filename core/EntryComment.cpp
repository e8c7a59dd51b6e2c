#include "core/EntryComment.h"

#include "core/BoundedFormat.h"
#include "core/Capacities.h"
#include "core/IniFile.h"
#include "core/ReleaseListFormat.h"
#include "core/WriterLock.h"
#include "platform/Utf8.h"

namespace qm {

std::string OneLineComment(const std::string& comment) {
    std::string line;
    line.reserve(comment.size());
    for (size_t i = 0; i < comment.size(); ++i) {
        const char c = comment[i];
        if (c == '\r' && i + 1 < comment.size() && comment[i + 1] == '\n') continue;  // CR LF
        const bool breaksLine = c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\0';
        line.push_back(breaksLine ? ' ' : c);
    }
    const size_t limit = kCommentLength;
    if (line.size() > limit) {
        const bool utf8 = IsUtf8(line);
        size_t cut = limit;
        // Never end inside a character: back up to the start of one.
        while (utf8 && cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
        line.resize(cut);
    }
    return line;
}

CommentResult WriteEntryComment(const std::string& section, int n, const std::string& name,
                                const std::string& comment, bool updated, uint32_t* error) {
    if (error) *error = kErrorSuccess;
    const auto failed = [error](uint32_t code) {
        if (error) *error = code;
        return CommentResult::WriteFailed;
    };
    CWriterLock lock;
    if (!lock.Held()) return failed(lock.Error());
    CIniFile releaseList;
    // A list that cannot be read is told as such: no matter of writing.
    if (!releaseList.Load(ProfilePath(kReleaseListName))) {
        if (error) *error = releaseList.LoadError();
        return CommentResult::ReadFailed;
    }

    // The row may be older than the list (rebuilt since the comparison):
    // write only when entry n still names the file the row shows.
    if (n < 1 || name.empty()) return CommentResult::EntryChanged;
    if (releaseList.ReadText(section, EntryKey("File", n), kWholeValueCapacity) != name) {
        return CommentResult::EntryChanged;
    }

    releaseList.WriteText(section, EntryKey("Comment", n), OneLineComment(comment));
    releaseList.WriteText(section, EntryKey("Updated", n),
                          BoundedFormat(kStatusCapacity, nullptr, "%d", updated ? 1 : 0));
    if (!releaseList.Save()) return failed(releaseList.LastSaveError());
    return CommentResult::Written;
}

void ApplyCommentToRow(ComparedFile& file, const std::string& comment, bool updated,
                       FileStatus earlier) {
    file.comment = OneLineComment(comment);
    file.marked = updated;
    file.status = updated ? Updated : earlier;
}

}  // namespace qm
