#include <chrono>
#include <cstdio>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/ResultFormat.h"
#include "core/ComparisonRun.h"
#include "core/FileStatus.h"
#include "core/IniFile.h"
#include "core/ReleaseListFormat.h"
#include "core/ResultTable.h"
#include "core/UnlistedFiles.h"
#include "platform/Platform.h"

namespace qm::cli {

namespace {

// The status of a file that no entry names (compare --unlisted).
constexpr char kNotListedText[] = "Not listed";

// The text of string 117, the notice before the list is built.
constexpr char kNoReleaseListNotice[] =
    "No release file found. The list for this release will be created now.\n"
    "Please wait, this can take up to a minute.\n";

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
        std::fprintf(stderr, "\rRows so far: %d", rows);
        std::fflush(stderr);
    }

    // Blanks the line, so that what follows starts clean.
    void Clear() {
        if (!m_shown) return;
        std::fprintf(stderr, "\r%40s\r", "");
        std::fflush(stderr);
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
            return "no program file found in \\qmw or \\db1: no release list was written";
        case BuildResult::BackupFailed:
        case BuildResult::WriteFailed:
        case BuildResult::Ok:
            break;
    }
    return WriteFailure("the release list", build.error);
}

double SecondsSince1970(std::chrono::system_clock::time_point time) {
    return std::chrono::duration<double>(time.time_since_epoch()).count();
}

}  // namespace

int RunCompare(const CommandLine& line) {
    std::string error;
    const std::string windowsDirectory = UsableWindowsDirectory(error);
    if (windowsDirectory.empty()) return Fail(error);

    ProgressLine progress(IsTerminal(StandardStream::Error));
    ComparisonHooks hooks;
    hooks.noticeNoReleaseList = [&] {
        std::fputs(kNoReleaseListNotice, stderr);
        std::fflush(stderr);
    };
    hooks.rowAdded = [&progress](int rows) { progress.Update(rows); };
    if (line.unlisted) {
        hooks.moreRows = [](IResultList& rows, const CIniFile& releaseList) {
            AppendUnlistedRows(rows, releaseList, kNotListedText);
        };
    }

    RunFacts facts;
    facts.unlisted = line.unlisted;
    const auto start = std::chrono::system_clock::now();
    const auto startTick = std::chrono::steady_clock::now();
    CResultTable table;
    SortState sort;
    const ComparisonResult result = RunComparison(table, sort, StatusTexts(), hooks);
    progress.Clear();
    facts.listFound = result.listFound;
    facts.startTime = SecondsSince1970(start);
    facts.duration =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - startTick).count();
    if (result.builtList) {
        if (result.build.status != BuildResult::Ok) return Fail(BuildFailure(result.build));
        ReportUnreadable(result.build.unreadable);
    }
    // An unreadable list would pass as "nothing to compare": refuse it.
    if (result.listUnreadable)
        return Fail(UnreadableListMessage(ReleaseListPath(windowsDirectory)));

    if (!WriteOutput(FormatRows(table, line.format, facts))) {
        return Fail("cannot write the results");
    }
    for (const ResultRow& row : table.Rows()) {
        if (row.attributes.image == NotIdentical) return kExitDifferences;
    }
    return kExitOk;
}

}  // namespace qm::cli
