#include "ui/MessageBoxes.h"

#include <algorithm>

#include "core/BoundedFormat.h"
#include "platform/Platform.h"
#include "res/resource.h"
#include "ui/AppServices.h"

namespace {

constexpr size_t kNamesShown = 20;
constexpr size_t kTextCapacity = 8192;

}  // namespace

void ShowWarning(const std::string& text, const std::string& caption) {
    AppMessageBox(::GetActiveWindow(), text, caption, MB_ICONWARNING);
}

bool AskYesNo(const std::string& text, const std::string& caption) {
    // MB_DEFBUTTON1: Yes is the default button.
    return AppMessageBox(::GetActiveWindow(), text, caption,
                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1) == IDYES;
}

void ShowFailure(HWND owner, UINT messageId) {
    AppMessageBox(owner, LoadResString(messageId), kAppName, MB_ICONWARNING);
}

std::string WriteFailureText(UINT messageId, uint32_t error) {
    if (error == qm::kErrorLockViolation) return LoadResString(IDS_LIST_BUSY);
    if (qm::IsWriteRefused(error)) return LoadResString(IDS_NEEDS_ADMIN);
    std::string text = LoadResString(messageId);
    if (error != qm::kErrorSuccess) {
        const std::string reason = qm::Platform().ErrorText(error);
        text +=
            "\n\n" + qm::BoundedFormat(kTextCapacity, nullptr,
                                       LoadResString(IDS_SYSTEM_REASON).c_str(), reason.c_str());
    }
    return text;
}

void ShowWriteFailure(HWND owner, UINT messageId, uint32_t error) {
    AppMessageBox(owner, WriteFailureText(messageId, error), kAppName, MB_ICONWARNING);
}

std::string UnreadableFilesText(const std::vector<std::string>& paths,
                                const std::vector<std::string>& changing) {
    std::string names;
    for (size_t i = 0; i < paths.size() && i < kNamesShown; ++i) {
        const bool changed =
            std::find(changing.begin(), changing.end(), paths[i]) != changing.end();
        names += paths[i] + (changed ? LoadResString(IDS_CHANGED_WHILE_READ) : "") + "\n";
    }
    if (paths.size() > kNamesShown) {
        names +=
            qm::BoundedFormat(kTextCapacity, nullptr, LoadResString(IDS_UNREADABLE_MORE).c_str(),
                              static_cast<int>(paths.size() - kNamesShown)) +
            "\n";
    }
    return qm::BoundedFormat(kTextCapacity, nullptr, LoadResString(IDS_UNREADABLE_FILES).c_str(),
                             names.c_str());
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
        case qm::BuildResult::Ok:
            break;
    }
    if (!build.unreadable.empty()) {
        AppMessageBox(owner, UnreadableFilesText(build.unreadable, build.changing), kAppName,
                      MB_ICONWARNING);
    }
}

std::string UnreachedEntriesText(const qm::ListFindings& findings) {
    std::string lines;
    for (const qm::SectionFindings& section : findings.sections) {
        if (section.unreachedKeys.empty()) continue;
        lines += "[" + section.section + "] " + qm::NamesInBrief(section.unreachedKeys) + "\n";
    }
    return qm::BoundedFormat(kTextCapacity, nullptr, LoadResString(IDS_LIST_UNREACHED).c_str(),
                             lines.c_str());
}

void ShowListFindings(HWND owner, const qm::ListFindings& findings) {
    if (findings.Entries() == 0) ShowFailure(owner, IDS_LIST_NO_ENTRY);
    if (findings.HasUnreachedEntries()) {
        AppMessageBox(owner, UnreachedEntriesText(findings), kAppName, MB_ICONWARNING);
    }
}
