// The message boxes of the secondary dialogs: the wrong-password warning, the
// update confirmation, and our own notices of operations that failed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/ComparisonRun.h"
#include "core/ReleaseListBuild.h"
#include "core/ReleaseListCheck.h"

// OK only, warning icon, owned by `owner` (never "the active window": right
// after a dialog closes Windows may not have activated its owner yet, and an
// unowned box leaves the dialog behind it open to clicks).
void ShowWarning(HWND owner, const std::string& text, const std::string& caption);

// Yes and No with the question icon, Yes the default, owned by `owner`; true
// when the operator chose Yes.
bool AskYesNo(HWND owner, const std::string& text, const std::string& caption);

// Tells the operator that an operation failed: string `messageId` of the
// string table under the program's caption, warning icon, owned by `owner`.
void ShowFailure(HWND owner, UINT messageId);

// The notice of a release list that cannot be read, from the reason the
// comparison carries (`error`, the system's): IDS_LIST_TOO_LARGE (naming it
// and the limit) when it is too large, else IDS_LIST_UNREADABLE with the
// reason.
std::string UnreadableListText(uint32_t error);
void ShowUnreadableList(HWND owner, uint32_t error);
// Add or Edit comment found the list unreadable: nothing was changed
// (IDS_LIST_READ_FAILED, or IDS_FILE_TOO_LARGE), with the system's reason.
std::string ListReadFailureText(uint32_t error);
void ShowListReadFailure(HWND owner, uint32_t error);

// Tells the operator why a write failed: another program holds the release
// list (IDS_LIST_BUSY, and IDS_LOCK_HOLDER where the system tells who), the
// file is read-only (IDS_FILE_READ_ONLY) or too large to read
// (IDS_FILE_TOO_LARGE), every temporary name beside it is taken
// (IDS_NO_FREE_NAME, naming the files), the system refused it and
// administrator rights are needed (IDS_NEEDS_ADMIN; when qmverify runs as
// administrator already, IDS_WRITE_REFUSED names the file and the system's
// reason instead), or string `messageId` with the system's reason. The file
// is the settings file for IDS_SETTINGS_WRITE_FAILED, else the release list.
void ShowWriteFailure(HWND owner, UINT messageId, uint32_t error);

// The text of `messageId` for a write failure, as ShowWriteFailure shows it
// to a process that is `elevated` or not.
std::string WriteFailureText(UINT messageId, uint32_t error, bool elevated);

// No release list exists and the system refuses to let one be written
// (`error`): IDS_LIST_NEEDS_ADMIN, said once instead of the notice before a
// build that cannot succeed; to a process that is `elevated` already, why
// the system refused (IDS_WRITE_REFUSED).
std::string MissingListRefusedText(uint32_t error, bool elevated);
void ShowMissingListRefused(HWND owner, uint32_t error);

// Tells the operator what a build could not do: keep the previous list
// (IDS_BACKUP_FAILED), write the new one (IDS_BUILD_WRITE_FAILED), find any
// program file (IDS_NOTHING_FOUND); and, after a build that wrote its list,
// the files it could not read (IDS_UNREADABLE_FILES). Silent after a build
// that read every file.
void ShowBuildOutcome(HWND owner, const qm::BuildResult& build);

// Tells the operator why a password-guarded write could not sign (and so
// wrote nothing): the settings file that could not be read or written, or
// the problem's own text (IDS_KEY_PINNED, ..., IDS_SIGNING_FAILED).
void ShowSigningFailure(HWND owner, qm::SigningProblem problem, uint32_t error);

// A write made the site's signing key: its fingerprint, for the operator to
// note in the installation record (IDS_KEY_MADE).
void ShowKeyMade(HWND owner, const std::string& publicKey);

// After a comparison, what stands against trusting the list beyond its
// signature: settings that could not be read, so that nobody can tell
// whether a key is pinned (IDS_SETTINGS_UNREADABLE), and a list that others
// than its owner may write (IDS_LIST_WRITABLE_BY_OTHERS). Silent otherwise.
void ShowListTrust(HWND owner, const qm::ComparisonResult& run);

// The text naming up to 20 of `paths` and the count of the rest
// (IDS_UNREADABLE_FILES, IDS_UNREADABLE_MORE); those of `changing` changed
// while they were read (IDS_CHANGED_WHILE_READ).
std::string UnreadableFilesText(const std::vector<std::string>& paths,
                                const std::vector<std::string>& changing = {});

// Tells the operator after a comparison what the list itself says against
// it: lines that are no section, entry or comment (IDS_LIST_UNPLACED), no
// entry in either section (IDS_LIST_NO_ENTRY), entries that no walk reaches
// (IDS_LIST_UNREACHED).
// Silent for a list that was compared whole.
void ShowListFindings(HWND owner, const qm::ListFindings& findings);
std::string UnreachedEntriesText(const qm::ListFindings& findings);

// Tells the operator that a component directory could not be searched for
// files that the list does not name (IDS_UNSEARCHED).
void ShowUnsearched(HWND owner, const std::string& directory, uint32_t error);
