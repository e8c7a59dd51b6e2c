// The commands of qmverify-cli. Each returns the process's exit status.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "core/ListSignature.h"
#include "core/ReleaseListBuild.h"
#include "core/SiteKey.h"
#include "core/UpdatePassword.h"

namespace qm::cli {

int RunCompare(const CommandLine& line);
int RunBuild(const CommandLine& line);
int RunAdd(const CommandLine& line);
int RunComment(const CommandLine& line);
int RunRelease(const CommandLine& line);
int RunListStatus(const CommandLine& line);
int RunListKey(const CommandLine& line);
int RunPassword(const CommandLine& line);
int RunSchedule(const CommandLine& line);

// Shared by the commands (CommandSupport.cpp). Every write to standard
// output and error goes through WriteOutput and WriteError (Console.h's
// WriteStandard), so that a console shows it alike.

// `text` as it is on standard error; a failure there cannot be told.
void WriteError(const std::string& text);

// "qmverify-cli: <message>" on standard error; Fail returns kExitError.
void Tell(const std::string& message);
int Fail(const std::string& message);

// Writes all of `text` to standard output; false and the system's reason
// when that fails.
bool WriteOutput(const std::string& text, std::string& reason);

// Writes a command's report to standard output and returns kExitOk; when
// standard output cannot take it, tells so and why and returns kExitError.
// `done` says what the command changed before ("the comment was stored"), so
// that the operator knows it stands; "" when it changed nothing.
int Report(const std::string& text, const std::string& done = std::string());

// A path as messages name it: the system's own spelling (ShownPath), with
// control characters shown as '?'.
std::string Shown(const std::string& path);

// "cannot read <what> <path>: <why>": too large to read (ReadResult's
// limit), or the system's reason `error` of the failed read.
std::string ReadFailure(const std::string& what, const std::string& path, uint32_t error);

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

// A build that found no program file: the component directories it looked
// in, as the system names them.
std::string NothingFoundFailure();

// Asks for a password (on the terminal without echo after `prompt`, or the
// next line of standard input with --password-stdin). False after telling
// why on standard error: no way to ask, no password given, one too long, or
// input that cannot be read.
bool ReadPassword(const CommandLine& line, const char* prompt, std::string& password);

// Asks for the password that guards the release data and checks it; `key`
// receives what it derives, which signs the write. False after telling why
// on standard error: as ReadPassword, a settings file that cannot be read or
// holds a damaged record, or a wrong password.
bool AcceptPassword(const CommandLine& line, CUpdateKey& key);

// Why a password-guarded write could not sign, and so wrote nothing.
std::string SigningFailure(SigningProblem problem, uint32_t error,
                           const ListSignature& list = ListSignature());

// What a signed write tells: the key made for this installation (to be
// noted in its record), or the sequence number signed.
std::string SignedReport(bool madeKey, const std::string& publicKey, uint64_t sequence);

// The files a build recorded with CRC "0" because it could not read them,
// one line each on standard error.
void ReportUnreadable(const std::vector<std::string>& paths,
                      const std::vector<std::string>& changing = {});

// What a build that wrote its list tells beyond its report: the files it
// could not read, the list saved as Unicode, the files left out of a full
// section. True when files were left out (the command then ends with 2).
bool ReportBuildNotes(const BuildResult& build);

// "qmw" or "db1" (any case) as directory index 0 or 1; -1 for anything else.
int SectionIndex(const std::string& text);
const char* SectionName(int index);

}  // namespace qm::cli
