#include "ui/MessageBoxes.h"

#include <algorithm>

#include "core/BoundedFormat.h"
#include "core/Capacities.h"
#include "core/FreshFile.h"
#include "core/ListSignature.h"
#include "core/ReleaseListFormat.h"
#include "core/Settings.h"
#include "platform/Platform.h"
#include "res/resource.h"
#include "ui/AppServices.h"
#include "ui/Elevation.h"

namespace {

constexpr size_t kNamesShown = 20;

std::string Formatted(UINT id, const std::string& first, const std::string& second = "") {
    return qm::BoundedFormat(qm::kMessageCapacity, nullptr, LoadResString(id).c_str(),
                             first.c_str(), second.c_str());
}

// "and %d more" on a line of its own, for a list of `count` names of which
// the first kNamesShown are shown; "" when all of them are.
std::string MoreNamesLine(size_t count) {
    if (count <= kNamesShown) return "";
    return qm::BoundedFormat(qm::kMessageCapacity, nullptr,
                             LoadResString(IDS_UNREADABLE_MORE).c_str(),
                             static_cast<int>(count - kNamesShown)) +
           "\n";
}

// The file that a write of string `messageId` changes.
std::string WrittenFile(UINT messageId) {
    const std::string windowsDirectory = qm::Platform().WindowsDirectory();
    return messageId == IDS_SETTINGS_WRITE_FAILED
               ? qm::ProfilePathIn(windowsDirectory, qm::kSettingsFile)
               : qm::ReleaseListPath(windowsDirectory);
}

// The files that take every temporary name beside the file of `messageId`.
std::string NamesInTheWay(UINT messageId) {
    const std::string file = WrittenFile(messageId);
    std::vector<std::string> taken = qm::TakenFreshNames(file + ".tmp");
    if (messageId != IDS_SETTINGS_WRITE_FAILED) {
        const std::vector<std::string> newLists =
            qm::TakenFreshNames(qm::NewListPath(qm::Platform().WindowsDirectory()));
        taken.insert(taken.end(), newLists.begin(), newLists.end());
    }
    std::string names;
    for (size_t i = 0; i < taken.size() && i < kNamesShown; ++i) {
        names += qm::ShownPath(taken[i]) + "\n";
    }
    names += MoreNamesLine(taken.size());
    return names;
}

}  // namespace

void ShowWarning(HWND owner, const std::string& text, const std::string& caption) {
    AppMessageBox(owner, text, caption, MB_ICONWARNING);
}

bool AskYesNo(HWND owner, const std::string& text, const std::string& caption) {
    // MB_DEFBUTTON1: Yes is the default button.
    return AppMessageBox(owner, text, caption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1) == IDYES;
}

void ShowFailure(HWND owner, UINT messageId) {
    AppMessageBox(owner, LoadResString(messageId), kAppName, MB_ICONWARNING);
}

std::string UnreadableListText(uint32_t error) {
    if (error == qm::kErrorFileTooLarge) {
        const std::string list = qm::ReleaseListPath(qm::Platform().WindowsDirectory());
        return Formatted(IDS_LIST_TOO_LARGE, qm::ShownPath(list), qm::kMaxWholeFileSizeText);
    }
    std::string text = LoadResString(IDS_LIST_UNREADABLE);
    if (error != qm::kErrorSuccess) {
        text += "\n\n" + Formatted(IDS_SYSTEM_REASON, qm::Platform().ErrorText(error));
    }
    return text;
}

void ShowUnreadableList(HWND owner, uint32_t error) {
    AppMessageBox(owner, UnreadableListText(error), kAppName, MB_ICONWARNING);
}

std::string ListReadFailureText(uint32_t error) {
    if (error == qm::kErrorFileTooLarge) {
        const std::string list = qm::ReleaseListPath(qm::Platform().WindowsDirectory());
        return Formatted(IDS_FILE_TOO_LARGE, qm::ShownPath(list), qm::kMaxWholeFileSizeText);
    }
    std::string text = LoadResString(IDS_LIST_READ_FAILED);
    if (error != qm::kErrorSuccess) {
        text += "\n\n" + Formatted(IDS_SYSTEM_REASON, qm::Platform().ErrorText(error));
    }
    return text;
}

void ShowListReadFailure(HWND owner, uint32_t error) {
    AppMessageBox(owner, ListReadFailureText(error), kAppName, MB_ICONWARNING);
}

std::string WriteFailureText(UINT messageId, uint32_t error, bool elevated) {
    if (error == qm::kErrorLockViolation) {
        std::string text = LoadResString(IDS_LIST_BUSY);
        const std::string holder =
            qm::Platform().LockHolder(qm::LockFilePath(qm::Platform().WindowsDirectory()));
        if (!holder.empty()) text += "\n\n" + Formatted(IDS_LOCK_HOLDER, holder);
        return text;
    }
    std::string text = LoadResString(messageId);
    if (qm::IsWriteRefused(error)) {
        // Starting again as administrator helps only one who is not.
        if (!elevated) return LoadResString(IDS_NEEDS_ADMIN);
        return text + "\n\n" +
               Formatted(IDS_WRITE_REFUSED, qm::ShownPath(WrittenFile(messageId)),
                         qm::Platform().ErrorText(error));
    }
    // The file's own state, never a matter of rights: said as it is.
    if (error == qm::kErrorFileReadOnly) {
        return text + "\n\n" + Formatted(IDS_FILE_READ_ONLY, qm::ShownPath(WrittenFile(messageId)));
    }
    if (error == qm::kErrorFileTooLarge) {
        return text + "\n\n" +
               Formatted(IDS_FILE_TOO_LARGE, qm::ShownPath(WrittenFile(messageId)),
                         qm::kMaxWholeFileSizeText);
    }
    if (error != qm::kErrorSuccess) {
        text += "\n\n" + Formatted(IDS_SYSTEM_REASON, qm::Platform().ErrorText(error));
    }
    if (error == qm::kErrorFileExists) {
        text +=
            "\n\n" + Formatted(IDS_NO_FREE_NAME, qm::ShownPath(qm::Platform().WindowsDirectory()),
                               NamesInTheWay(messageId));
    }
    return text;
}

std::string MissingListRefusedText(uint32_t error, bool elevated) {
    if (!elevated) return LoadResString(IDS_LIST_NEEDS_ADMIN);
    return WriteFailureText(IDS_BUILD_WRITE_FAILED, error, true);
}

void ShowMissingListRefused(HWND owner, uint32_t error) {
    AppMessageBox(owner, MissingListRefusedText(error, IsThisProcessElevated()), kAppName,
                  MB_ICONWARNING);
}

void ShowWriteFailure(HWND owner, UINT messageId, uint32_t error) {
    AppMessageBox(owner, WriteFailureText(messageId, error, IsThisProcessElevated()), kAppName,
                  MB_ICONWARNING);
}

std::string UnreadableFilesText(const std::vector<std::string>& paths,
                                const std::vector<std::string>& changing) {
    std::string names;
    for (size_t i = 0; i < paths.size() && i < kNamesShown; ++i) {
        const bool changed =
            std::find(changing.begin(), changing.end(), paths[i]) != changing.end();
        names += paths[i] + (changed ? LoadResString(IDS_CHANGED_WHILE_READ) : "") + "\n";
    }
    names += MoreNamesLine(paths.size());
    return qm::BoundedFormat(qm::kMessageCapacity, nullptr,
                             LoadResString(IDS_UNREADABLE_FILES).c_str(), names.c_str());
}

void ShowBuildOutcome(HWND owner, const qm::BuildResult& build) {
    switch (build.status) {
        case qm::BuildResult::BackupFailed:
            ShowWriteFailure(owner, IDS_BACKUP_FAILED, build.error);
            return;
        case qm::BuildResult::WriteFailed:
            ShowWriteFailure(owner, IDS_BUILD_WRITE_FAILED, build.error);
            return;
        case qm::BuildResult::NothingFound:
            ShowFailure(owner, IDS_NOTHING_FOUND);
            return;
        case qm::BuildResult::SigningFailed:
            ShowSigningFailure(owner, build.signing, build.error);
            return;
        case qm::BuildResult::Stopped:  // the window says so where it shows the run
            return;
        case qm::BuildResult::Ok:
            break;
    }
    if (!build.unreadable.empty()) {
        AppMessageBox(owner, UnreadableFilesText(build.unreadable, build.changing), kAppName,
                      MB_ICONWARNING);
    }
    for (int section = 0; section < 2; ++section) {
        if (build.leftOut[section] == 0) continue;
        AppMessageBox(
            owner,
            qm::BoundedFormat(qm::kMessageCapacity, nullptr,
                              LoadResString(IDS_FILES_LEFT_OUT).c_str(), build.leftOut[section],
                              qm::kComponentDirectories[section].section, qm::kLastReadableEntry),
            kAppName, MB_ICONWARNING);
    }
    if (build.savedAsUnicode) {
        AppMessageBox(owner, LoadResString(IDS_LIST_SAVED_AS_UNICODE), kAppName,
                      MB_ICONINFORMATION);
    }
}

void ShowSigningFailure(HWND owner, qm::SigningProblem problem, uint32_t error) {
    if (problem == qm::SigningProblem::SettingsUnreadable ||
        problem == qm::SigningProblem::SettingsWriteFailed) {
        ShowWriteFailure(owner, IDS_SETTINGS_WRITE_FAILED, error);
        return;
    }
    UINT message = IDS_SIGNING_FAILED;
    switch (problem) {
        case qm::SigningProblem::KeyPinned:
            message = IDS_KEY_PINNED;
            break;
        case qm::SigningProblem::PasswordChanged:
            message = IDS_PASSWORD_CHANGED_MEANWHILE;
            break;
        case qm::SigningProblem::RecordDamaged:
            message = IDS_PASSWORD_RECORD_DAMAGED;
            break;
        case qm::SigningProblem::KeyDoesNotOpen:
            message = IDS_KEY_DOES_NOT_OPEN;
            break;
        case qm::SigningProblem::ListNotAsSigned:
            message = IDS_LIST_NOT_AS_SIGNED;
            break;
        default:
            break;
    }
    ShowFailure(owner, message);
}

void ShowKeyMade(HWND owner, const std::string& publicKey) {
    // The fingerprint on a line of its own, so that it never breaks.
    std::string text = LoadResString(IDS_KEY_MADE);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    AppMessageBox(owner, text + "\n" + qm::KeyFingerprint(publicKey), kAppName, MB_ICONINFORMATION);
}

void ShowListTrust(HWND owner, const qm::ComparisonResult& run) {
    if (run.signature.settingsError != qm::kErrorSuccess) {
        AppMessageBox(
            owner,
            LoadResString(IDS_SETTINGS_UNREADABLE) + "\n\n" +
                Formatted(IDS_SYSTEM_REASON, qm::Platform().ErrorText(run.signature.settingsError)),
            kAppName, MB_ICONWARNING);
    }
    if (!run.listWritableBy.empty()) {
        const std::string list = qm::ReleaseListPath(qm::Platform().WindowsDirectory());
        AppMessageBox(
            owner, Formatted(IDS_LIST_WRITABLE_BY_OTHERS, qm::ShownPath(list), run.listWritableBy),
            kAppName, MB_ICONWARNING);
    }
}

std::string UnreachedEntriesText(const qm::ListFindings& findings) {
    std::string lines;
    for (const qm::SectionFindings& section : findings.sections) {
        if (section.unreachedKeys.empty()) continue;
        lines += "[" + section.section + "] " + qm::NamesInBrief(section.unreachedKeys) + "\n";
    }
    return qm::BoundedFormat(qm::kMessageCapacity, nullptr,
                             LoadResString(IDS_LIST_UNREACHED).c_str(), lines.c_str());
}

void ShowListFindings(HWND owner, const qm::ListFindings& findings) {
    if (findings.unplacedLines > 0) {
        AppMessageBox(owner,
                      qm::BoundedFormat(qm::kMessageCapacity, nullptr,
                                        LoadResString(IDS_LIST_UNPLACED).c_str(),
                                        static_cast<int>(findings.unplacedLines),
                                        static_cast<int>(findings.firstUnplacedLine)),
                      kAppName, MB_ICONWARNING);
    }
    if (findings.Entries() == 0) ShowFailure(owner, IDS_LIST_NO_ENTRY);
    if (findings.HasUnreachedEntries()) {
        AppMessageBox(owner, UnreachedEntriesText(findings), kAppName, MB_ICONWARNING);
    }
}

void ShowUnsearched(HWND owner, const std::string& directory, uint32_t error) {
    AppMessageBox(
        owner,
        qm::BoundedFormat(qm::kMessageCapacity, nullptr, LoadResString(IDS_UNSEARCHED).c_str(),
                          directory.c_str(), qm::Platform().ErrorText(error).c_str()),
        kAppName, MB_ICONWARNING);
}
