// The commands of qmverify-cli. Each returns the process's exit status.
#pragma once

#include <string>

#include "cli/CommandLine.h"

namespace qm::cli {

int RunCompare(const CommandLine& line);
int RunBuild(const CommandLine& line);
int RunAdd(const CommandLine& line);
int RunComment(const CommandLine& line);
int RunRelease(const CommandLine& line);

// Shared by the commands (CommandSupport.cpp).

// "qmverify-cli: <message>" on standard error; returns kExitError.
int Fail(const std::string& message);

// Writes all of `text` to standard output; false when that fails.
bool WriteOutput(const std::string& text);

// The Windows directory in force, checked to exist and to fit the release
// list's paths; "" and a message otherwise.
std::string UsableWindowsDirectory(std::string& error);

// "qmw" or "db1" (any case) as directory index 0 or 1; -1 for anything else.
int SectionIndex(const std::string& text);
const char* SectionName(int index);

}  // namespace qm::cli
