#include "ui/RunTexts.h"

#include <windows.h>

#include <cstdio>

#include "core/BoundedFormat.h"
#include "core/Capacities.h"
#include "core/ReadingLoop.h"
#include "core/ReleaseListCheck.h"
#include "platform/Platform.h"
#include "res/resource.h"
#include "ui/AppServices.h"
#include "ui/WideText.h"

namespace {

// Megabytes of 2^20 bytes, as Windows counts them, with one decimal.
std::string Megabytes(uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}

std::string Format(UINT id, int first, int second) {
    return qm::BoundedFormat(qm::kSummaryCapacity, nullptr, LoadResString(id).c_str(), first,
                             second);
}

// "2 no access, 1 held open by another program".
std::string UnreadCounts(const std::map<qm::RowCause, int>& unread) {
    std::string counts;
    for (const auto& [cause, count] : unread) {
        if (!counts.empty()) counts += ", ";
        counts += std::to_string(count) + " " + CauseWords(cause);
    }
    return counts;
}

}  // namespace

std::string ProgressText(const qm::RunProgress& progress) {
    if (progress.stage == qm::RunProgress::Stage::Recording) {
        return Format(IDS_RECORD_PROGRESS, progress.filesDone, progress.filesTotal);
    }
    if (progress.bytesTotal == 0) {
        return Format(IDS_COMPARE_PROGRESS_FILES, progress.filesDone, progress.filesTotal);
    }
    return qm::BoundedFormat(qm::kSummaryCapacity, nullptr,
                             LoadResString(IDS_COMPARE_PROGRESS).c_str(), progress.filesDone,
                             progress.filesTotal, Megabytes(progress.bytesDone).c_str(),
                             Megabytes(progress.bytesTotal).c_str());
}

std::string SummaryText(const qm::RunSummary& summary, const std::string& qmwDirectory,
                        const std::string& db1Directory) {
    const std::string text = qm::BoundedFormat(
        qm::kSummaryCapacity, nullptr, LoadResString(IDS_COMPARE_SUMMARY).c_str(),
        qmwDirectory.c_str(), db1Directory.c_str(), summary.compared, summary.identical,
        summary.notIdentical, summary.updated, summary.notListed);
    // The second line runs under the header fields on the right: it stays
    // short, and the files changed with their CRC-32 kept come first.
    std::string notes;
    if (!summary.crafted.empty()) {
        notes = qm::BoundedFormat(qm::kSummaryCapacity, nullptr,
                                  LoadResString(IDS_SUMMARY_CRAFTED).c_str(),
                                  qm::NamesInBrief(summary.crafted, 2).c_str());
    }
    if (!summary.unread.empty()) {
        if (!notes.empty()) notes += " ";
        notes += qm::BoundedFormat(qm::kSummaryCapacity, nullptr,
                                   LoadResString(IDS_SUMMARY_UNREAD).c_str(),
                                   UnreadCounts(summary.unread).c_str());
    }
    if (summary.crcOnly > 0) {
        const UINT note = notes.empty() ? IDS_SUMMARY_CRC_ONLY : IDS_SUMMARY_CRC_ONLY_SHORT;
        notes += qm::BoundedFormat(qm::kSummaryCapacity, nullptr, LoadResString(note).c_str(),
                                   summary.crcOnly);
    }
    return notes.empty() ? text : text + "\n" + notes;
}

std::string StoppedText(int compared, int total) {
    return Format(IDS_COMPARE_STOPPED, compared, total);
}

std::string BuildOutcomeText(const qm::BuildResult& build) {
    if (build.status == qm::BuildResult::Stopped) return LoadResString(IDS_BUILD_STOPPED);
    if (build.backupPath.empty()) {
        return qm::BoundedFormat(qm::kSummaryCapacity, nullptr,
                                 LoadResString(IDS_BUILD_DONE_FIRST).c_str(), build.entries);
    }
    const std::string backup = build.backupPath.substr(build.backupPath.find_last_of('\\') + 1);
    return qm::BoundedFormat(qm::kSummaryCapacity, nullptr, LoadResString(IDS_BUILD_DONE).c_str(),
                             build.entries, backup.c_str());
}

std::string CauseWords(qm::RowCause cause) {
    switch (cause) {
        case qm::RowCause::SameContent:
            return LoadResString(IDS_CAUSE_SAME_CONTENT);
        case qm::RowCause::SameCrc:
            return LoadResString(IDS_CAUSE_SAME_CRC);
        case qm::RowCause::ContentChanged:
            return LoadResString(IDS_CAUSE_CONTENT_CHANGED);
        case qm::RowCause::ContentChangedSameCrc:
            return LoadResString(IDS_CAUSE_CONTENT_CHANGED_SAME_CRC);
        case qm::RowCause::BadDigest:
            return LoadResString(IDS_CAUSE_BAD_DIGEST);
        case qm::RowCause::Missing:
            return LoadResString(IDS_CAUSE_MISSING);
        case qm::RowCause::NoAccess:
            return LoadResString(IDS_CAUSE_NO_ACCESS);
        case qm::RowCause::HeldOpen:
            return LoadResString(IDS_CAUSE_HELD_OPEN);
        case qm::RowCause::Unreadable:
            return LoadResString(IDS_CAUSE_UNREADABLE);
        case qm::RowCause::ChangedWhileRead:
            return LoadResString(IDS_CAUSE_CHANGED_WHILE_READ);
        case qm::RowCause::NotListed:
            return LoadResString(IDS_CAUSE_NOT_LISTED);
        case qm::RowCause::SizeChanged:
            return LoadResString(IDS_CAUSE_SIZE_CHANGED);
        case qm::RowCause::Folder:
            return LoadResString(IDS_CAUSE_FOLDER);
        case qm::RowCause::DllRedirection:
            return LoadResString(IDS_CAUSE_DLL_REDIRECTION);
        case qm::RowCause::Manifest:
            return LoadResString(IDS_CAUSE_MANIFEST);
        case qm::RowCause::ProgramByContent:
            return LoadResString(IDS_CAUSE_PROGRAM_BY_CONTENT);
        case qm::RowCause::TooLarge:
            return LoadResString(IDS_CAUSE_TOO_LARGE) + " " + qm::kLargestUnlistedFileWords;
        case qm::RowCause::Unknown:
            break;
    }
    return std::string();
}

std::string StatusWithCause(const qm::ComparedFile& file, const qm::StatusTexts& texts) {
    const std::string& status = texts.Of(file.status);
    const std::string cause = CauseWords(file.cause);
    if (cause.empty()) return status;
    return qm::BoundedFormat(qm::kSummaryCapacity, nullptr,
                             LoadResString(IDS_STATUS_WITH_CAUSE).c_str(), status.c_str(),
                             cause.c_str());
}

std::string SignerWords(const qm::ComparedFile& file) {
    switch (file.signatureState) {
        case qm::FileSignatureState::Signed:
            return file.signer.empty() ? LoadResString(IDS_SIGNER_SIGNED)
                                       : LoadResString(IDS_SIGNER_SIGNED_BY) + file.signer;
        case qm::FileSignatureState::Unsigned:
            return LoadResString(IDS_SIGNER_UNSIGNED);
        case qm::FileSignatureState::Broken:
            return LoadResString(IDS_SIGNER_BROKEN);
        case qm::FileSignatureState::NotTrusted:
            return LoadResString(IDS_SIGNER_NOT_TRUSTED);
        case qm::FileSignatureState::Unknown:
            return LoadResString(IDS_SIGNER_UNKNOWN);
        case qm::FileSignatureState::NotChecked:
            break;
    }
    return std::string();
}

std::string RowVerdict(const qm::ComparedFile& file, const qm::StatusTexts& texts) {
    const std::string verdict = StatusWithCause(file, texts);
    const std::string signer = SignerWords(file);
    if (signer.empty()) return verdict;
    return qm::BoundedFormat(qm::kSummaryCapacity, nullptr,
                             LoadResString(IDS_STATUS_WITH_SIGNER).c_str(), verdict.c_str(),
                             signer.c_str());
}

std::string ComparedDirectory(const char* directory) {
    const std::string shown = qm::ShownPath(directory);
    wchar_t whole[MAX_PATH] = L"";
    const DWORD length = ::GetFullPathNameW(Wide(shown).c_str(), MAX_PATH, whole, nullptr);
    return length > 0 && length < MAX_PATH ? Utf8(whole) : shown;
}
