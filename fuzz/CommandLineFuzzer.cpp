// The command-line parser under arbitrary arguments: the input split at NUL
// bytes, as argv can hold everything but NUL. Properties:
//  - a parse is deterministic;
//  - a failed parse says why, in text safe for a terminal;
//  - a successful parse has a command with the operands it takes (or asks
//    for help or the version), and an argument vector formed again from
//    the result parses to the same result;
//  - Printable keeps the length and leaves no control characters.
#include <string>
#include <string_view>
#include <vector>

#include "cli/CommandLine.h"
#include "fuzz/FuzzSupport.h"

namespace {

using qm::cli::Command;
using qm::cli::CommandLine;
using qm::cli::OutputFormat;

bool operator==(const CommandLine& a, const CommandLine& b) {
    return a.command == b.command && a.help == b.help && a.version == b.version &&
           a.windowsDirectory == b.windowsDirectory && a.driveRoot == b.driveRoot &&
           a.format == b.format && a.unlisted == b.unlisted && a.passwordStdin == b.passwordStdin &&
           a.updated == b.updated && a.eventLog == b.eventLog && a.metricsFile == b.metricsFile &&
           a.every == b.every && a.operands == b.operands;
}

bool IsPrintable(const std::string& text) {
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return false;
    }
    return true;
}

size_t OperandsOf(Command command) {
    switch (command) {
        case Command::Add:
            return 2;
        case Command::Comment:
            return 3;
        case Command::Schedule:
            return 1;
        default:
            return 0;
    }
}

const char* NameOf(Command command) {
    switch (command) {
        case Command::Compare:
            return "compare";
        case Command::Build:
            return "build";
        case Command::Add:
            return "add";
        case Command::Comment:
            return "comment";
        case Command::Release:
            return "release";
        case Command::ListStatus:
            return "list-status";
        case Command::ListKey:
            return "list-key";
        case Command::Password:
            return "password";
        case Command::Schedule:
            return "schedule";
        case Command::None:
            break;
    }
    return nullptr;
}

const char* NameOf(OutputFormat format) {
    switch (format) {
        case OutputFormat::Tsv:
            return "tsv";
        case OutputFormat::Csv:
            return "csv";
        case OutputFormat::Json:
            return "json";
        case OutputFormat::OpenMetrics:
            return "openmetrics";
        case OutputFormat::Table:
            break;
    }
    return "table";
}

// The arguments that say what `line` says: options with their values as
// separate arguments, then the command, then "--" and the operands.
std::vector<std::string> ArgumentsOf(const CommandLine& line) {
    std::vector<std::string> args;
    if (line.help) args.push_back("--help");
    if (line.version) args.push_back("--version");
    if (!line.windowsDirectory.empty())
        args.insert(args.end(), {"--windir", line.windowsDirectory});
    if (!line.driveRoot.empty()) args.insert(args.end(), {"--root", line.driveRoot});
    if (line.format != OutputFormat::Table)
        args.insert(args.end(), {"--format", NameOf(line.format)});
    if (line.unlisted) args.push_back("--unlisted");
    if (line.passwordStdin) args.push_back("--password-stdin");
    if (line.updated) args.insert(args.end(), {"--updated", *line.updated ? "1" : "0"});
    if (line.eventLog) args.push_back("--event-log");
    if (!line.metricsFile.empty()) args.insert(args.end(), {"--metrics-file", line.metricsFile});
    if (line.every != qm::cli::Every::Hour) args.insert(args.end(), {"--every", "daily"});
    if (const char* command = NameOf(line.command)) args.push_back(command);
    args.push_back("--");
    args.insert(args.end(), line.operands.begin(), line.operands.end());
    return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input = qm::fuzz::AsText(data, size);
    std::vector<std::string> args;
    while (!input.empty()) {
        const size_t end = input.find('\0');
        args.emplace_back(input.substr(0, end));
        input.remove_prefix(end == input.npos ? input.size() : end + 1);
    }

    CommandLine line;
    std::string error;
    const bool parsed = qm::cli::ParseCommandLine(args, line, error);
    CommandLine again;
    std::string againError;
    FUZZ_CHECK(qm::cli::ParseCommandLine(args, again, againError) == parsed);
    FUZZ_CHECK(again == line && againError == error);

    for (const std::string& arg : args) {
        const std::string shown = qm::cli::Printable(arg);
        // A C1 character of two bytes shows as one '?'.
        FUZZ_CHECK(shown.size() <= arg.size() && IsPrintable(shown));
        FUZZ_CHECK(qm::cli::Printable(shown) == shown);
    }
    if (!parsed) {
        FUZZ_CHECK(!error.empty() && IsPrintable(error));
        return 0;
    }
    if (!line.help && !line.version) {
        FUZZ_CHECK(line.command != Command::None);
        FUZZ_CHECK(line.operands.size() == OperandsOf(line.command));
        FUZZ_CHECK(!line.updated || line.command == Command::Comment);
        FUZZ_CHECK(!line.unlisted || line.command == Command::Compare);
        FUZZ_CHECK(line.format == OutputFormat::Table || line.command == Command::Compare ||
                   line.command == Command::ListStatus);
        FUZZ_CHECK(!line.passwordStdin || line.command == Command::Build ||
                   line.command == Command::Add || line.command == Command::Password);
    } else {
        FUZZ_CHECK(line.command == Command::None && line.operands.empty());
    }

    CommandLine formed;
    std::string formedError;
    FUZZ_CHECK(qm::cli::ParseCommandLine(ArgumentsOf(line), formed, formedError));
    FUZZ_CHECK(formed == line);
    return 0;
}
