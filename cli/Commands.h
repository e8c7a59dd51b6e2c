// The commands of qmverify-cli. Each returns the process's exit status.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// The Windows directory in force, checked to exist; "" and a message
// otherwise.
std::string UsableWindowsDirectory(std::string& error);

// Why a write of `what` (such as "the release list") failed, in words that
// say what to do: another program holds the writer lock (and which, where
// the system tells), the file `path` (default: the release list) is
// read-only or too large to read, every temporary name is taken (and by
// which files), the system refused the write (administrator rights needed),
// or the system's own reason.
std::string WriteFailure(const std::string& what, uint32_t error, const std::string& path = "");

// Why the release list at `listPath` cannot be read: too large, or the
// system's reason.
std::string UnreadableListMessage(const std::string& listPath);

// Asks for the password that guards the release data: on the terminal
// without echo, or from the first line of standard input with
// --password-stdin. False and a message when there is no way to ask.
bool AskPassword(const CommandLine& line, std::string& password, std::string& error);

// The files a build recorded with CRC "0" because it could not read them,
// one line each on standard error.
void ReportUnreadable(const std::vector<std::string>& paths);

// "qmw" or "db1" (any case) as directory index 0 or 1; -1 for anything else.
int SectionIndex(const std::string& text);
const char* SectionName(int index);

}  // namespace qm::cli
