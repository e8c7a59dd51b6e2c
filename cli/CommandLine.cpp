#include "cli/CommandLine.h"

namespace qm::cli {

namespace {

struct CommandInfo {
    const char* name;
    Command command;
    size_t operands;  // exact number of operands after the command
    const char* operandUsage;
};

constexpr CommandInfo kCommands[] = {
    {"compare", Command::Compare, 0, ""},      {"build", Command::Build, 0, ""},
    {"add", Command::Add, 2, " NAME qmw|db1"}, {"comment", Command::Comment, 3, " qmw|db1 N TEXT"},
    {"release", Command::Release, 0, ""},
};

const CommandInfo* FindCommand(const std::string& name) {
    for (const CommandInfo& info : kCommands) {
        if (name == info.name) return &info;
    }
    return nullptr;
}

bool ParseFormat(const std::string& text, OutputFormat& format) {
    if (text == "table") {
        format = OutputFormat::Table;
    } else if (text == "tsv") {
        format = OutputFormat::Tsv;
    } else if (text == "csv") {
        format = OutputFormat::Csv;
    } else if (text == "json") {
        format = OutputFormat::Json;
    } else {
        return false;
    }
    return true;
}

// Which command an option belongs to; None for the options of every command.
Command OwnerOf(const std::string& option) {
    if (option == "--format") return Command::Compare;
    if (option == "--password-stdin") return Command::Build;
    if (option == "--updated") return Command::Comment;
    return Command::None;
}

bool TakesValue(const std::string& option) {
    return option == "--windir" || option == "--root" || option == "--format" ||
           option == "--updated";
}

bool IsKnownOption(const std::string& option) {
    return TakesValue(option) || option == "--help" || option == "--password-stdin";
}

}  // namespace

std::string Printable(const std::string& text) {
    std::string result = text;
    for (char& c : result) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = '?';
    }
    return result;
}

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error) {
    line = CommandLine();
    std::vector<std::string> seenOptions;
    std::vector<std::string> words;  // command and operands
    bool optionsEnded = false;

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string option = arg == "-h" ? "--help" : arg;
        std::string value;
        bool hasValue = false;
        const size_t equals = option.find('=');
        if (option.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            value = option.substr(equals + 1);
            option.erase(equals);
            hasValue = true;
        }
        if (!IsKnownOption(option)) {
            error = "unknown option '" + Printable(option) + "'";
            return false;
        }
        if (TakesValue(option) && !hasValue) {
            if (i + 1 >= args.size()) {
                error = "option " + option + " needs a value";
                return false;
            }
            value = args[++i];
        } else if (!TakesValue(option) && hasValue) {
            error = "option " + option + " takes no value";
            return false;
        }
        seenOptions.push_back(option);

        if (option == "--help") {
            line.help = true;
        } else if (option == "--password-stdin") {
            line.passwordStdin = true;
        } else if (option == "--windir" || option == "--root") {
            if (value.empty()) {
                error = "option " + option + " needs a directory";
                return false;
            }
            (option == "--windir" ? line.windowsDirectory : line.driveRoot) = value;
        } else if (option == "--format") {
            if (!ParseFormat(value, line.format)) {
                error = "unknown format '" + Printable(value) + "' (use table, tsv, csv or json)";
                return false;
            }
        } else if (option == "--updated") {
            if (value != "0" && value != "1") {
                error = "option --updated takes 0 or 1, not '" + Printable(value) + "'";
                return false;
            }
            line.updated = value == "1";
        }
    }
    if (line.help) return true;

    if (words.empty()) {
        error = "no command given";
        return false;
    }
    const CommandInfo* info = FindCommand(words[0]);
    if (!info) {
        error = "unknown command '" + Printable(words[0]) + "'";
        return false;
    }
    line.command = info->command;
    line.operands.assign(words.begin() + 1, words.end());
    for (const std::string& option : seenOptions) {
        const Command owner = OwnerOf(option);
        if (owner != Command::None && owner != info->command) {
            error = "option " + option + " does not belong to '" + info->name + "'";
            return false;
        }
    }
    if (line.operands.size() != info->operands) {
        error = std::string("'") + info->name + "' takes" +
                (info->operands == 0 ? " no operands" : std::string(":") + info->operandUsage);
        return false;
    }
    return true;
}

const char* UsageText() {
    return "Usage: qmverify-cli [--windir DIR] [--root DIR] COMMAND [OPTIONS] [OPERANDS]\n"
           "\n"
           "Checks the program files in \\qmw and \\db1 against the release list\n"
           "qmverify.lst in the Windows directory.\n"
           "\n"
           "Commands:\n"
           "  compare [--format table|tsv|csv|json]\n"
           "      Compares every listed file (builds the list first when there is none)\n"
           "      and prints the results, updated files first. Exit status 0 when every\n"
           "      file is \"Identical\" or \"Updated\", 1 when any is \"Not identical\".\n"
           "  build [--password-stdin]\n"
           "      Rebuilds the release list, keeping the previous one as a numbered\n"
           "      backup. Asks for the password on the terminal, or reads it from the\n"
           "      first line of standard input with --password-stdin.\n"
           "  add NAME qmw|db1\n"
           "      Enters one file of \\qmw or \\db1 into the release list, or refreshes\n"
           "      the entry that already names it.\n"
           "  comment qmw|db1 N [--updated 0|1] TEXT\n"
           "      Stores the comment of entry N and its \"File was updated\" mark\n"
           "      (kept as it is without --updated).\n"
           "  release\n"
           "      Shows the installed QMW and Sentinel releases.\n"
           "\n"
           "Options of every command:\n"
           "  --windir DIR   the Windows directory, where qmverify.lst lives\n"
           "  --root DIR     the drive root that holds \\qmw and \\db1\n"
           "  --help         this text\n"
           "\n"
           "Exit status 2 means an error (bad arguments, a list that cannot be written).\n"
           "\n"
           "Example:\n"
           "  qmverify-cli --windir C:\\WINDOWS --root D:\\ compare --format csv > result.csv\n"
           "  qmverify-cli comment qmw 3 --updated 1 \"patched by hotfix 7\"\n";
}

}  // namespace qm::cli
