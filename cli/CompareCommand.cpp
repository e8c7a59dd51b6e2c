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
#include "platform/Platform.h"

namespace qm::cli {

namespace {

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

const char* BuildFailure(BuildResult::Status status) {
    return status == BuildResult::BackupFailed
               ? "the previous release list could not be kept as a backup: nothing changed"
               : "the new release list could not be written";
}

}  // namespace

int RunCompare(const CommandLine& line) {
    std::string error;
    const std::string windowsDirectory = UsableWindowsDirectory(error);
    if (windowsDirectory.empty()) return Fail(error);

    // The run reads an unreadable list as empty, which would pass as "all
    // identical": refuse it here instead.
    const std::string listPath = ReleaseListPath(windowsDirectory);
    if (Platform().FileExists(listPath)) {
        CIniFile probe;
        if (!probe.Load(listPath))
            return Fail("cannot read the release list " + Printable(listPath));
    }

    ProgressLine progress(IsTerminal(StandardStream::Error));
    ComparisonHooks hooks;
    hooks.noticeNoReleaseList = [&] {
        std::fputs(kNoReleaseListNotice, stderr);
        std::fflush(stderr);
    };
    hooks.rowAdded = [&progress](int rows) { progress.Update(rows); };

    CResultTable table;
    SortState sort;
    const ComparisonResult result = RunComparison(table, sort, StatusTexts(), hooks);
    progress.Clear();
    if (result.builtList && result.build.status != BuildResult::Ok) {
        return Fail(BuildFailure(result.build.status));
    }

    if (!WriteOutput(FormatRows(table, line.format))) return Fail("cannot write the results");
    for (const ResultRow& row : table.Rows()) {
        if (row.attributes.image == NotIdentical) return kExitDifferences;
    }
    return kExitOk;
}

}  // namespace qm::cli
