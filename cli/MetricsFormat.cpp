// The comparison for monitoring: the text exposition format that Prometheus'
// textfile collector reads (node_exporter on Linux, windows_exporter on
// Windows), which is valid OpenMetrics as well (it ends with "# EOF").
#include <cstdio>
#include <string>

#include "cli/ResultFormat.h"
#include "core/FileStatus.h"
#include "core/ReleaseListFormat.h"

namespace qm::cli {

namespace {

struct StatusName {
    FileStatus status;
    const char* label;
};
constexpr StatusName kStatuses[] = {
    {Identical, "identical"}, {NotIdentical, "not_identical"}, {Updated, "updated"}};

void AppendFamily(std::string& out, const char* name, const char* help) {
    out += std::string("# HELP ") + name + " " + help + "\n";
    out += std::string("# TYPE ") + name + " gauge\n";
}

std::string Number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.3f", value);
    std::string number = text;
    while (number.back() == '0') number.pop_back();
    if (number.back() == '.') number.pop_back();
    return number;
}

}  // namespace

std::string FormatOpenMetrics(const CResultTable& table, const RunFacts& facts) {
    // Counts per section (in list order) and status; unlisted files apart.
    int counts[2][3] = {};
    int unlisted[2] = {};
    for (const ResultRow& row : table.Rows()) {
        const int section = row.texts[kColSection] == kComponentDirectories[1].section ? 1 : 0;
        if (row.attributes.cause == RowCause::NotListed) {
            ++unlisted[section];
        } else if (row.attributes.image >= 0 && row.attributes.image < 3) {
            ++counts[section][row.attributes.image];
        }
    }

    std::string out;
    AppendFamily(out, "qmverify_files",
                 "Listed program files by section and status of the last comparison.");
    for (int section = 0; section < 2; ++section) {
        for (const StatusName& status : kStatuses) {
            out += std::string("qmverify_files{section=\"") +
                   kComponentDirectories[section].section + "\",status=\"" + status.label + "\"} " +
                   std::to_string(counts[section][status.status]) + "\n";
        }
    }
    if (facts.unlisted) {
        AppendFamily(out, "qmverify_unlisted_files",
                     "Program files that no entry of their section names.");
        for (int section = 0; section < 2; ++section) {
            out += std::string("qmverify_unlisted_files{section=\"") +
                   kComponentDirectories[section].section + "\"} " +
                   std::to_string(unlisted[section]) + "\n";
        }
    }
    AppendFamily(out, "qmverify_release_list_found",
                 "1 when the release list existed; 0 when this run had to build it first.");
    out += std::string("qmverify_release_list_found ") + (facts.listFound ? "1" : "0") + "\n";
    AppendFamily(out, "qmverify_last_run_timestamp_seconds",
                 "When the comparison began, in seconds since 1970.");
    out += "qmverify_last_run_timestamp_seconds " + Number(facts.startTime) + "\n";
    AppendFamily(out, "qmverify_last_run_duration_seconds", "How long the comparison took.");
    out += "qmverify_last_run_duration_seconds " + Number(facts.duration) + "\n";
    out += "# EOF\n";
    return out;
}

}  // namespace qm::cli
