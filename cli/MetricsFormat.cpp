// The comparison for monitoring: the text exposition format that Prometheus'
// textfile collector reads (node_exporter on Linux, windows_exporter on
// Windows), which is valid OpenMetrics as well (it ends with "# EOF").
#include <cstdio>
#include <string>

#include "cli/ResultFormat.h"
#include "core/FileStatus.h"
#include "core/ReleaseListFormat.h"
#include "core/WatchedFile.h"

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

// What the rows say, per section in list order: listed files by status,
// files that no entry names, entries decided by the CRC-32 alone, and files
// whose CRC-32 alone still matches.
struct RowCounts {
    int byStatus[2][3] = {};
    int unlisted[2] = {};
    int crcOnly[2] = {};
    int crafted[2] = {};
    int unvouched[2] = {};  // changed or planted, without a valid signature
};

RowCounts CountRows(const CResultTable& table) {
    RowCounts counts;
    for (const ResultRow& row : table.Rows()) {
        const ComparedFile& file = row.file;
        const int section = file.section == 1 ? 1 : 0;
        if (file.status == NotListed) {
            ++counts.unlisted[section];
            continue;
        }
        if (file.status >= Identical && file.status <= Updated) {
            ++counts.byStatus[section][file.status];
        }
        if (file.digest == RowDigest::Crc32) ++counts.crcOnly[section];
        if (file.cause == RowCause::ContentChangedSameCrc) ++counts.crafted[section];
    }
    for (const ComparedFile* file : WatchedFiles(table)) {
        if (ChangedWithoutValidSignature(*file)) ++counts.unvouched[file->section];
    }
    return counts;
}

// One line per section of the family `name`.
std::string PerSection(const char* name, const int (&values)[2]) {
    std::string lines;
    for (int section = 0; section < 2; ++section) {
        lines += std::string(name) + "{section=\"" + kComponentDirectories[section].section +
                 "\"} " + std::to_string(values[section]) + "\n";
    }
    return lines;
}

// The families of the files: by section and status, the unlisted ones (with
// --unlisted), those checked by the CRC-32 alone and the crafted ones.
std::string FileFamilies(const RowCounts& counts, const RunFacts& facts) {
    std::string out;
    AppendFamily(out, "qmverify_files",
                 "Listed program files by section and status of the last comparison.");
    for (int section = 0; section < 2; ++section) {
        for (const StatusName& status : kStatuses) {
            out += std::string("qmverify_files{section=\"") +
                   kComponentDirectories[section].section + "\",status=\"" + status.label + "\"} " +
                   std::to_string(counts.byStatus[section][status.status]) + "\n";
        }
    }
    if (facts.unlisted) {
        AppendFamily(out, "qmverify_unlisted_files",
                     "Program files that no entry of their section names.");
        out += PerSection("qmverify_unlisted_files", counts.unlisted);
        AppendFamily(out, "qmverify_unsearched_directories",
                     "1 when the directory could not be searched for such files.");
        const int unsearched[2] = {facts.unsearched[0] ? 1 : 0, facts.unsearched[1] ? 1 : 0};
        out += PerSection("qmverify_unsearched_directories", unsearched);
    }
    AppendFamily(out, "qmverify_files_crc_only",
                 "Entries that record no SHA-256 and are checked by their CRC-32 alone.");
    out += PerSection("qmverify_files_crc_only", counts.crcOnly);
    AppendFamily(out, "qmverify_crafted_files",
                 "Files whose CRC-32 is the recorded one while their SHA-256 is not.");
    out += PerSection("qmverify_crafted_files", counts.crafted);
    AppendFamily(out, "qmverify_unsigned_changed_files",
                 "Files not identical and not marked updated, or not listed, that carry no valid "
                 "signature: unsigned, signature broken, or not trusted.");
    out += PerSection("qmverify_unsigned_changed_files", counts.unvouched);
    return out;
}

// The families of the list's signature: its state (1 for the one it is
// in), the fingerprint of the pinned key (no sample while none is pinned),
// and the signature's sequence number, which a list copied back from an
// older backup lowers.
std::string SignatureFamilies(const ListSignature& signature) {
    static constexpr SignatureState kStates[] = {
        SignatureState::Valid, SignatureState::NotSigned, SignatureState::ChangedAfterSigning,
        SignatureState::OtherKey, SignatureState::UnsignedWhilePinned};
    std::string out;
    AppendFamily(out, "qmverify_release_list_signature",
                 "The release list's signature: 1 for the state it is in; changed, other_key "
                 "and unsigned_while_pinned are alarms.");
    for (SignatureState state : kStates) {
        out += std::string("qmverify_release_list_signature{state=\"") + SignatureStateName(state) +
               "\"} " + (state == signature.state ? "1" : "0") + "\n";
    }
    AppendFamily(out, "qmverify_release_list_key_info",
                 "The fingerprint of the signing key that the settings pin.");
    if (!signature.pinnedKey.empty()) {
        out += "qmverify_release_list_key_info{fingerprint=\"" +
               KeyFingerprint(signature.pinnedKey) + "\"} 1\n";
    }
    AppendFamily(out, "qmverify_release_list_sequence",
                 "The sequence number of the release list's signature; 0 when it has none.");
    out += "qmverify_release_list_sequence " + std::to_string(signature.sequence) + "\n";
    return out;
}

// The families of the list itself and of the run.
std::string RunFamilies(const RunFacts& facts) {
    std::string out;
    AppendFamily(out, "qmverify_release_list_found",
                 "1 when the release list existed; 0 when this run had to build it first.");
    out += std::string("qmverify_release_list_found ") + (facts.listFound ? "1" : "0") + "\n";
    AppendFamily(out, "qmverify_release_list_problems",
                 "What keeps the release list from being compared whole: no entry at all, "
                 "entries that no walk reaches, lines that cannot be read, files that "
                 "its build left out of a full section.");
    const ListFindings& findings = facts.findings;
    out += std::string("qmverify_release_list_problems{problem=\"no_entries\"} ") +
           (findings.Entries() == 0 ? "1" : "0") + "\n";
    out += "qmverify_release_list_problems{problem=\"unreached_entries\"} " +
           std::to_string(findings.UnreachedEntries()) + "\n";
    out += "qmverify_release_list_problems{problem=\"unplaced_lines\"} " +
           std::to_string(findings.unplacedLines) + "\n";
    out += "qmverify_release_list_problems{problem=\"stray_keys\"} " +
           std::to_string(findings.StrayKeys()) + "\n";
    out += "qmverify_release_list_problems{problem=\"files_left_out\"} " +
           std::to_string(facts.leftOut) + "\n";
    AppendFamily(out, "qmverify_dll_redirection_enabled",
                 "1 when DevOverrideEnable = 1: every program honours a <program>.exe.local "
                 "beside it.");
    out += std::string("qmverify_dll_redirection_enabled ") +
           (facts.dllRedirectionEnabled ? "1" : "0") + "\n";
    out += SignatureFamilies(facts.signature);
    if (!facts.listSha256.empty()) {
        AppendFamily(out, "qmverify_release_list_info",
                     "The release list compared against, by the SHA-256 of its file.");
        out += "qmverify_release_list_info{sha256=\"" + facts.listSha256 + "\"} 1\n";
    }
    AppendFamily(out, "qmverify_last_run_timestamp_seconds",
                 "When the comparison began, in seconds since 1970.");
    out += "qmverify_last_run_timestamp_seconds " + Number(facts.startTime) + "\n";
    AppendFamily(out, "qmverify_last_run_duration_seconds", "How long the comparison took.");
    out += "qmverify_last_run_duration_seconds " + Number(facts.duration) + "\n";
    return out;
}

}  // namespace

std::string FormatOpenMetrics(const CResultTable& table, const RunFacts& facts) {
    return FileFamilies(CountRows(table), facts) + RunFamilies(facts) + "# EOF\n";
}

}  // namespace qm::cli
