#include "cli/CommandLine.h"

#include <cstddef>
#include <string>

#include "core/ParallelFingerprints.h"
#include "platform/Utf8.h"

namespace qm::cli {

namespace {

// ---------------------------------------------------------------------------
// The tables: every command and every option, once.

struct CommandInfo {
    const char* name;
    Command command;
    size_t operands;           // exact number of operands after the command
    const char* operandUsage;  // as the usage text shows them
    const char* description;   // lines of the usage text, each ending in '\n'
};

constexpr CommandInfo kCommands[] = {
    {"compare", Command::Compare, 0, "",
     "Compares every listed file (builds the list first when there is none)\n"
     "and prints the results, updated files first. Exit status 0 when every\n"
     "file is \"Identical\" or \"Updated\", 1 when any is \"Not identical\" (or,\n"
     "with --unlisted, \"Not listed\").\n"},
    {"build", Command::Build, 0, "",
     "Rebuilds the release list, keeping the previous one as a numbered\n"
     "backup. Asks for the password on the terminal, or reads it from the\n"
     "first line of standard input with --password-stdin.\n"},
    {"add", Command::Add, 2, " NAME qmw|db1",
     "Enters one file of \\qmw or \\db1 into the release list, or refreshes\n"
     "the entry that already names it. Asks for the password as build does.\n"},
    {"comment", Command::Comment, 3, " qmw|db1 N TEXT",
     "Stores the comment of entry N and its \"File was updated\" mark\n"
     "(kept as it is without --updated).\n"},
    {"release", Command::Release, 0, "", "Shows the installed QMW and Sentinel releases.\n"},
    {"list-status", Command::ListStatus, 0, "",
     "Checks the release list's signature against the key this installation\n"
     "pins and shows its state (exit status 0 only when it is valid).\n"},
    {"list-key", Command::ListKey, 0, "",
     "Shows the fingerprint of the signing key this installation pins.\n"},
    {"password", Command::Password, 0, "",
     "Sets this installation's own update password: asks for the current one\n"
     "and the new one (twice) on the terminal, or reads the current and the\n"
     "new one from the first two lines of standard input with --password-stdin.\n"},
    {"schedule", Command::Schedule, 1, " install|remove|show",
     "Sets up, removes or shows the scheduled compare: a task that runs\n"
     "compare --unlisted --event-log --metrics-file as SYSTEM, and the event\n"
     "source of its events (Windows, administrator rights).\n"},
};

enum class Option {
    Format,
    Unlisted,
    Jobs,
    EventLog,
    MetricsFile,
    Every,
    PasswordStdin,
    Updated,
    WindowsDirectory,
    Root,
    Version,
    Help
};

// The commands an option belongs to; kEveryCommand for the global ones.
constexpr unsigned CommandBit(Command command) { return 1u << static_cast<unsigned>(command); }
constexpr unsigned kEveryCommand = 0;

struct OptionInfo {
    Option option;
    const char* name;
    const char* value;  // what the usage text shows for its value; nullptr: takes none
    unsigned commands;
    const char* help;
};

constexpr OptionInfo kOptions[] = {
    {Option::Format, "--format", "table|tsv|csv|json|openmetrics",
     CommandBit(Command::Compare) | CommandBit(Command::ListStatus),
     "how to print the results (table by default; openmetrics for monitoring; list-status "
     "takes table or json)"},
    {Option::Unlisted, "--unlisted", nullptr, CommandBit(Command::Compare),
     "also report every program file that no entry names, as \"Not listed\""},
    {Option::Jobs, "--jobs", "N", CommandBit(Command::Compare) | CommandBit(Command::Build),
     "read N files at once (1: one after the other; by default the drive decides)"},
    {Option::EventLog, "--event-log", nullptr, CommandBit(Command::Compare),
     "also write the result to the Application event log (source qmverify)"},
    {Option::MetricsFile, "--metrics-file", "PATH", CommandBit(Command::Compare),
     "also write the openmetrics text to PATH, whole or not at all"},
    {Option::Every, "--every", "hourly|daily", CommandBit(Command::Schedule),
     "how often the scheduled compare runs (hourly by default)"},
    {Option::PasswordStdin, "--password-stdin", nullptr,
     CommandBit(Command::Build) | CommandBit(Command::Add) | CommandBit(Command::Password),
     "read the password from the first line of standard input"},
    {Option::Updated, "--updated", "0|1", CommandBit(Command::Comment),
     "the \"File was updated\" mark"},
    {Option::WindowsDirectory, "--windir", "DIR", kEveryCommand,
     "the Windows directory, where qmverify.lst lives"},
    {Option::Root, "--root", "DIR", kEveryCommand, "the drive root that holds \\qmw and \\db1"},
    {Option::Version, "--version", nullptr, kEveryCommand, "the version of qmverify-cli"},
    {Option::Help, "--help", nullptr, kEveryCommand, "this text"},
};

const CommandInfo* FindCommand(const std::string& name) {
    for (const CommandInfo& info : kCommands) {
        if (name == info.name) return &info;
    }
    return nullptr;
}

const OptionInfo* FindOption(const std::string& name) {
    for (const OptionInfo& info : kOptions) {
        if (name == info.name) return &info;
    }
    return nullptr;
}

bool ParseFormat(const std::string& text, OutputFormat& format) {
    static const struct {
        const char* name;
        OutputFormat format;
    } kFormats[] = {{"table", OutputFormat::Table},
                    {"tsv", OutputFormat::Tsv},
                    {"csv", OutputFormat::Csv},
                    {"json", OutputFormat::Json},
                    {"openmetrics", OutputFormat::OpenMetrics}};
    for (const auto& known : kFormats) {
        if (text == known.name) {
            format = known.format;
            return true;
        }
    }
    return false;
}

bool ParseJobs(const std::string& value, CommandLine& line, std::string& error) {
    const bool digits = !value.empty() && value.size() <= 2 &&
                        value.find_first_not_of("0123456789") == std::string::npos;
    const int jobs = digits ? std::stoi(value) : 0;
    if (jobs < 1 || jobs > kMostFilesAtOnce) {
        error = "option --jobs takes a number from 1 to " + std::to_string(kMostFilesAtOnce) +
                ", not '" + Printable(value) + "'";
        return false;
    }
    line.jobs = jobs;
    return true;
}

// Takes one option's value into the command line; false and a message when
// the value is not one the option takes.
bool Apply(const OptionInfo& info, const std::string& value, CommandLine& line,
           std::string& error) {
    switch (info.option) {
        case Option::Help:
            line.help = true;
            return true;
        case Option::Version:
            line.version = true;
            return true;
        case Option::PasswordStdin:
            line.passwordStdin = true;
            return true;
        case Option::Unlisted:
            line.unlisted = true;
            return true;
        case Option::EventLog:
            line.eventLog = true;
            return true;
        case Option::MetricsFile:
            if (value.empty()) {
                error = "option --metrics-file needs a file name";
                return false;
            }
            line.metricsFile = value;
            return true;
        case Option::Every:
            if (value != "hourly" && value != "daily") {
                error = "option --every takes hourly or daily, not '" + Printable(value) + "'";
                return false;
            }
            line.every = value == "hourly" ? Every::Hour : Every::Day;
            return true;
        case Option::Jobs:
            return ParseJobs(value, line, error);
        case Option::WindowsDirectory:
        case Option::Root:
            if (value.empty()) {
                error = std::string("option ") + info.name + " needs a directory";
                return false;
            }
            (info.option == Option::WindowsDirectory ? line.windowsDirectory : line.driveRoot) =
                value;
            return true;
        case Option::Format:
            if (!ParseFormat(value, line.format)) {
                error = "unknown format '" + Printable(value) +
                        "' (use table, tsv, csv, json or openmetrics)";
                return false;
            }
            return true;
        case Option::Updated:
            if (value != "0" && value != "1") {
                error = "option --updated takes 0 or 1, not '" + Printable(value) + "'";
                return false;
            }
            line.updated = value == "1";
            return true;
    }
    return false;
}

// What the usage text shows of an option: "--format table|tsv|..." or "--unlisted".
std::string Synopsis(const OptionInfo& info) {
    std::string text = info.name;
    if (info.value) text += std::string(" ") + info.value;
    return text;
}

// Takes the option at args[i] ("--name", "--name=value" or "-h"), and its
// value from the next argument when it needs one (moving `i` on), into the
// command line; false and a message when it is unknown or its value is
// missing, unwanted or wrong.
bool ParseOption(const std::vector<std::string>& args, size_t& i, CommandLine& line,
                 const OptionInfo*& info, std::string& error) {
    std::string name = args[i] == "-h" ? "--help" : args[i];
    std::string value;
    bool hasValue = false;
    const size_t equals = name.find('=');
    if (name.compare(0, 2, "--") == 0 && equals != std::string::npos) {
        value = name.substr(equals + 1);
        name.erase(equals);
        hasValue = true;
    }
    info = FindOption(name);
    if (!info) {
        error = "unknown option '" + Printable(name) + "'";
        return false;
    }
    if (info->value && !hasValue) {
        if (i + 1 >= args.size()) {
            error = "option " + name + " needs a value";
            return false;
        }
        value = args[++i];
    } else if (!info->value && hasValue) {
        error = "option " + name + " takes no value";
        return false;
    }
    return Apply(*info, value, line, error);
}

// Takes the command and its operands from `words`, checking that every
// option given belongs to it and that the operands are as many as it takes.
bool TakeCommand(const std::vector<std::string>& words,
                 const std::vector<const OptionInfo*>& seenOptions, CommandLine& line,
                 std::string& error) {
    if (words.empty()) {
        error = "no command given";
        return false;
    }
    const CommandInfo* command = FindCommand(words[0]);
    if (!command) {
        error = "unknown command '" + Printable(words[0]) + "'";
        return false;
    }
    line.command = command->command;
    line.operands.assign(words.begin() + 1, words.end());
    for (const OptionInfo* info : seenOptions) {
        if (info->commands != kEveryCommand &&
            (info->commands & CommandBit(command->command)) == 0) {
            error =
                std::string("option ") + info->name + " does not belong to '" + command->name + "'";
            return false;
        }
    }
    if (line.operands.size() != command->operands) {
        error =
            std::string("'") + command->name + "' takes" +
            (command->operands == 0 ? " no operands" : std::string(":") + command->operandUsage);
        return false;
    }
    return true;
}

}  // namespace

std::string WithoutControlCharacters(const std::string& text, bool keepTab) {
    std::string result;
    result.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const unsigned char byte = static_cast<unsigned char>(text[at]);
        uint32_t code = byte;
        size_t length = byte < 0x80 ? 1 : DecodeUtf8OrSurrogate(text, at, code);
        // A byte that starts no character (of a posix name) stands for
        // itself: 0x9B alone is the terminal's CSI all the same.
        if (length == 0) {
            length = 1;
            code = byte;
        }
        const bool control =
            (code < 0x20 && !(keepTab && code == '\t')) || (code >= 0x7F && code <= 0x9F);
        if (control) {
            result += '?';
        } else {
            result.append(text, at, length);
        }
        at += length;
    }
    return result;
}

std::string Printable(const std::string& text) { return WithoutControlCharacters(text, false); }

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error) {
    line = CommandLine();
    std::vector<const OptionInfo*> seenOptions;
    std::vector<std::string> words;  // command and operands
    bool optionsEnded = false;

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            words.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else {
            const OptionInfo* info = nullptr;
            if (!ParseOption(args, i, line, info, error)) return false;
            seenOptions.push_back(info);
        }
    }
    if (line.help || line.version) return true;
    return TakeCommand(words, seenOptions, line, error);
}

std::string UsageText() {
    std::string text =
        "Usage: qmverify-cli [--windir DIR] [--root DIR] COMMAND [OPTIONS] [OPERANDS]\n"
        "\n"
        "Checks the program files in \\qmw and \\db1 against the release list\n"
        "qmverify.lst in the Windows directory.\n"
        "\n"
        "Commands:\n";
    for (const CommandInfo& command : kCommands) {
        text += std::string("  ") + command.name + command.operandUsage;
        for (const OptionInfo& option : kOptions) {
            if ((option.commands & CommandBit(command.command)) != 0) {
                text += " [" + Synopsis(option) + "]";
            }
        }
        text += '\n';
        // The description, indented by six.
        for (const char* line = command.description; *line != '\0';) {
            const char* end = line;
            while (*end != '\0' && *end != '\n') ++end;
            text += "      " + std::string(line, end) + "\n";
            line = *end == '\n' ? end + 1 : end;
        }
    }
    text += "\nOptions:\n";
    constexpr size_t kColumn = 22;
    for (const OptionInfo& option : kOptions) {
        std::string entry = "  " + Synopsis(option);
        // A long synopsis gets a line of its own, its text the next one.
        entry += entry.size() < kColumn ? std::string(kColumn - entry.size(), ' ')
                                        : "\n" + std::string(kColumn, ' ');
        std::string owners;
        for (const CommandInfo& command : kCommands) {
            if ((option.commands & CommandBit(command.command)) != 0) {
                owners += (owners.empty() ? "" : ", ") + std::string(command.name);
            }
        }
        text += entry + (owners.empty() ? "" : owners + ": ") + option.help + "\n";
    }
    text +=
        "\n"
        "Exit status: 0 all fine; 1 a file is \"Not identical\" (or \"Not listed\");\n"
        "2 an error (bad arguments, a list that cannot be read or written, another\n"
        "program changing the release list, a wrong password) or a release list whose\n"
        "signature does not hold.\n"
        "\n"
        "Examples:\n"
        "  qmverify-cli --windir C:\\WINDOWS --root D:\\ compare --format csv > result.csv\n"
        "  qmverify-cli compare --unlisted --metrics-file qmverify.prom\n"
        "  qmverify-cli comment qmw 3 --updated 1 \"patched by hotfix 7\"\n"
        "  qmverify-cli build --password-stdin < password.txt\n";
    return text;
}

}  // namespace qm::cli
