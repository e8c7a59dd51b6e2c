// The command line of qmverify-cli: one command, its operands and options.
// The commands and options are described once, in tables that the parser and
// the usage text both read (CommandLine.cpp).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qm::cli {

// Exit statuses: 0 all fine, 1 a compared file differs (or is not listed),
// 2 an error.
enum ExitStatus { kExitOk = 0, kExitDifferences = 1, kExitError = 2 };

enum class Command {
    None,
    Compare,
    Build,
    Add,
    Comment,
    Release,
    ListStatus,
    ListKey,
    Password,
    Schedule,
};

enum class OutputFormat { Table, Tsv, Csv, Json, OpenMetrics };

// How often the scheduled compare runs (schedule install --every).
enum class Every { Hour, Day };

struct CommandLine {
    Command command = Command::None;
    bool help = false;
    bool version = false;
    std::string windowsDirectory;  // --windir; "" keeps the platform's own
    std::string driveRoot;         // --root; "" keeps the platform's own
    OutputFormat format = OutputFormat::Table;
    bool unlisted = false;      // compare --unlisted
    int jobs = 0;               // --jobs N: files read at once; 0 lets the drive decide
    bool eventLog = false;      // compare --event-log
    std::string metricsFile;    // compare --metrics-file PATH; "" writes none
    Every every = Every::Hour;  // schedule install --every hourly|daily
    bool passwordStdin = false;
    std::optional<bool> updated;        // comment --updated 0|1
    std::vector<std::string> operands;  // after the command, options removed
};

// Parses argv[1..]. On bad arguments returns false and a message that says
// what is wrong (without program name or line end).
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error);

// The usage text shown by --help.
std::string UsageText();

// A text safe to show on a terminal: each control character, C0 and DEL
// and C1 (U+0080 to U+009F, or such a byte that is no part of a UTF-8
// character), becomes '?'; with `keepTab`, tab stays.
std::string WithoutControlCharacters(const std::string& text, bool keepTab);
std::string Printable(const std::string& text);

}  // namespace qm::cli
