#include <chrono>
#include <string>

#include "cli/Commands.h"
#include "cli/CompareWatch.h"
#include "cli/Console.h"
#include "cli/ResultFormat.h"
#include "core/ComparisonRun.h"
#include "core/FileStatus.h"
#include "core/IniFile.h"
#include "core/OperatorTexts.h"
#include "core/ReleaseListCheck.h"
#include "core/ReleaseListFormat.h"
#include "core/ResultTable.h"
#include "core/Settings.h"
#include "core/UnlistedFiles.h"
#include "platform/Platform.h"

namespace qm::cli {

namespace {

// "Rows so far: N" on standard error, rewritten in place; only on a
// terminal, and at most ten times a second, so that it costs nothing.
class ProgressLine {
public:
    explicit ProgressLine(bool enabled) : m_enabled(enabled) {}

    void Update(int rows) {
        if (!m_enabled) return;
        const auto now = std::chrono::steady_clock::now();
        if (m_shown && now - m_last < std::chrono::milliseconds(100)) return;
        m_last = now;
        m_shown = true;
        WriteError("\rRows so far: " + std::to_string(rows));
    }

    // The hook of a run that shows its files on the line.
    ProgressHook Hook() {
        if (!m_enabled) return {};
        return [this](const RunProgress& now) {
            Update(now.filesDone);
            return true;
        };
    }

    // Blanks the line, so that what follows starts clean.
    void Clear() {
        if (!m_shown) return;
        WriteError("\r" + std::string(40, ' ') + "\r");
        m_shown = false;
    }

private:
    bool m_enabled;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_last;
};

// Why the build that the comparison started did not give a list.
std::string BuildFailure(const BuildResult& build) {
    switch (build.status) {
        case BuildResult::NothingFound:
            return NothingFoundFailure();
        case BuildResult::SigningFailed:
            return SigningFailure(build.signing, build.error);
        case BuildResult::Stopped:
        case BuildResult::BackupFailed:
        case BuildResult::WriteFailed:
        case BuildResult::Ok:
            break;
    }
    return WriteFailure("the release list", build.error);
}

// Tells on standard error what the list itself says against the run: lines
// that are no section, entry or comment, no entry at all, or entries that no
// walk reaches. True when there is such a finding.
bool ReportListFindings(const ListFindings& findings, const std::string& listPath) {
    bool found = false;
    if (findings.unplacedLines > 0) {
        Fail("the release list " + Shown(listPath) + " holds " +
             std::to_string(findings.unplacedLines) +
             " lines that are no section, entry or comment (the first is line " +
             std::to_string(findings.firstUnplacedLine) +
             "): what they were meant to say is not compared");
        found = true;
    }
    if (findings.Entries() == 0) {
        Fail("the release list " + Shown(listPath) +
             " yields no entry in either section: nothing was compared");
        found = true;
    }
    for (const SectionFindings& section : findings.sections) {
        if (!section.strayKeys.empty()) {
            Fail("section " + section.section + " of the release list holds " +
                 Printable(NamesInBrief(section.strayKeys)) +
                 " without the name of its entry: an entry was removed by hand, or the keys "
                 "were added; rebuild the list");
            found = true;
        }
        if (section.unreachedKeys.empty()) continue;
        Fail("section " + section.section +
             " of the release list: " + std::to_string(section.unreachedKeys.size()) +
             (section.unreachedKeys.size() == 1 ? " entry is" : " entries are") +
             " not compared (" + Printable(NamesInBrief(section.unreachedKeys)) +
             "): entries are read from File1 up "
             "to the first missing or empty name (here File" +
             std::to_string(section.entries + 1) + "), and never beyond File" +
             std::to_string(kLastReadableEntry) + "; rebuild or renumber the list");
        found = true;
    }
    return found;
}

// Tells on standard error what the list's signature and protection say
// against the run: an alarm (true), the settings that could not be read
// (true), and as notes a list that others may write and the entries
// decided by their CRC-32 alone.
bool ReportListTrust(const ComparisonResult& result, const CResultTable& table,
                     const std::string& listPath) {
    bool alarm = false;
    const ListSignature& signature = result.signature;
    if (signature.settingsError != kErrorSuccess) {
        Fail(ReadFailure("the settings", ProfilePath(kSettingsFile), signature.settingsError) +
             ": whether a signing key is pinned cannot be told");
        alarm = true;
    }
    if (IsAlarm(signature.state)) {
        WriteError(std::string(SignatureStateText(signature)) + "\n");
        alarm = true;
    }
    if (!result.listWritableBy.empty()) {
        Tell("note: the release list " + Shown(listPath) + " may be written by " +
             Printable(result.listWritableBy) +
             ", not only by its owner: whoever may write it sets what "
             "counts as released");
    }
    int crcOnly = 0;
    for (const ResultRow& row : table.Rows()) {
        if (row.file.digest == RowDigest::Crc32) ++crcOnly;
    }
    if (crcOnly > 0) {
        Tell("note: " + std::to_string(crcOnly) +
             (crcOnly == 1 ? " entry records" : " entries record") + " no SHA-256 and " +
             (crcOnly == 1 ? "was" : "were") +
             " decided by the CRC-32 alone, which a changed file can keep; a build records a "
             "SHA-256 for every entry");
    }
    return alarm;
}

// What the monitoring format says of the list and the directories.
void TakeFacts(const ComparisonResult& result, RunFacts& facts) {
    facts.listFound = result.listFound;
    facts.findings = result.findings;
    facts.signature = result.signature;
    facts.dllRedirectionEnabled = result.dllRedirectionEnabled;
    for (const UnsearchedDirectory& directory : result.unsearched) {
        facts.unsearched[directory.sectionIndex] = true;
    }
}

double SecondsSince1970(std::chrono::system_clock::time_point time) {
    return std::chrono::duration<double>(time.time_since_epoch()).count();
}

// The exit status of a comparison whose results were written: an error when
// the list could not be compared whole or trusted, or a directory not
// searched, else whether any file differs.
int StatusOf(bool listFindings, const ComparisonResult& result, const CResultTable& table) {
    if (listFindings || !result.unsearched.empty()) return kExitError;
    for (const ResultRow& row : table.Rows()) {
        if (row.file.status == NotIdentical || row.file.status == NotListed) {
            return kExitDifferences;
        }
    }
    return kExitOk;
}

}  // namespace

int RunCompare(const CommandLine& line) {
    std::string error;
    const std::string windowsDirectory = UsableWindowsDirectory(error);
    if (windowsDirectory.empty()) return FailWatched(line, error);
    const std::string listPath = ReleaseListPath(windowsDirectory);

    ProgressLine progress(IsTerminal(StandardStream::Error));
    ComparisonHooks hooks;
    hooks.noticeNoReleaseList = [] { WriteError(QM_TEXT_NO_RELEASE_LIST "\n"); };
    hooks.progress = progress.Hook();
    UnlistedScope scope;
    scope.sections[0] = scope.sections[1] = line.unlisted;

    RunFacts facts;
    facts.unlisted = line.unlisted;
    const auto start = std::chrono::system_clock::now();
    const auto startTick = std::chrono::steady_clock::now();
    CResultTable table;
    SortState sort;
    const ComparisonResult result = RunComparison(table, sort, hooks, scope);
    progress.Clear();
    TakeFacts(result, facts);
    facts.startTime = SecondsSince1970(start);
    facts.duration =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - startTick).count();
    if (result.builtList) {
        if (result.build.status != BuildResult::Ok)
            return FailWatched(line, BuildFailure(result.build));
        facts.leftOut = ReportBuildNotes(result.build) ? result.build.LeftOut() : 0;
    }
    // An unreadable list would pass as "nothing to compare": refuse it.
    if (result.listUnreadable) {
        return FailWatched(line, ReadFailure("the release list", listPath, result.listLoadError));
    }
    GatherWatchFacts(line, table, facts, listPath);

    std::string reason;
    if (!WriteOutput(FormatRows(table, line.format, facts), reason)) {
        // The metrics file and the events still tell what was found.
        Tell("the results could not be written to standard output: " + reason);
        return FinishWatched(line, table, facts, listPath, kExitError);
    }
    // A list that cannot be read as meant, or whose signature does not hold,
    // is never a pass: the rows above cover what could be compared, and the
    // status says that it is not all, or that none can be trusted.
    const bool listFindings =
        !result.signature.listMissing && ReportListFindings(result.findings, listPath);
    for (const UnsearchedDirectory& directory : result.unsearched) {
        Tell("cannot search " + Shown(directory.directory) +
             " for files that no entry names: " + Platform().ErrorText(directory.error));
    }
    if (result.dllRedirectionEnabled) Tell(QM_TEXT_DLL_REDIRECTION_ENABLED);
    const bool untrusted = ReportListTrust(result, table, listPath);
    return FinishWatched(line, table, facts, listPath,
                         StatusOf(listFindings || untrusted || facts.leftOut > 0, result, table));
}

}  // namespace qm::cli
