// Runs the built qmverify-cli as its own process, with standard input from
// a text and standard output and error caught, as an operator's shell would.
//
// A start that fails is tried again while its cause may pass (a busy
// executable, a system short of resources), a few times over about two
// seconds, so that a loaded machine does not fail a test by chance; a start
// that still fails says why in `err`, and `started` tells it from a program
// that ran and ended with -1.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct CliRun {
    bool started = false;  // false: the program could not be started, `err` says why
    int status = -1;       // exit status; -1 when it was killed or could not be started
    std::string out;
    std::string err;
};

using Environment = std::vector<std::pair<std::string, std::string>>;

// How the program is started beyond its arguments.
struct SpawnOptions {
    std::string input;             // standard input's text
    std::string inputPath;         // when set, this file or directory is standard input instead
    bool closedInput = false;      // no standard input at all
    bool refusedOutput = false;    // standard output refuses every write (/dev/full on posix,
                                   // a handle opened for reading only on Windows)
    std::string workingDirectory;  // "" keeps this process's
    // Variables to set in the child (an empty value unsets one); ignored on
    // Windows, where the child inherits ours.
    Environment environment;
    std::string program;  // "" starts qmverify-cli
};

// qmverify-cli started and still running, so that a test can let it race
// another one or kill it part way. Destroying it waits for it.
class CliProcess {
public:
    CliProcess(const std::vector<std::string>& args, const SpawnOptions& options);
    CliProcess(const std::vector<std::string>& args, const std::string& input = std::string(),
               const Environment& environment = {});
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // Ends the process at once, as a power cut or a kill would (SIGKILL,
    // TerminateProcess): no handler of its own runs.
    void Kill();
    // Waits for the end; the status is -1 for a process that was killed or
    // could not be started.
    CliRun Wait();

private:
    void Start(const std::vector<std::string>& args, const SpawnOptions& options);

    std::string m_inPath, m_outPath, m_errPath;
    bool m_waited = false;
    std::string m_startFailure;  // why the start failed; "" when it started
    CliRun m_run;
#ifdef _WIN32
    void* m_process = nullptr;
#else
    int m_pid = -1;
#endif
};

CliRun RunCli(const std::vector<std::string>& args, const SpawnOptions& options);
CliRun RunCli(const std::vector<std::string>& args, const std::string& input = std::string(),
              const Environment& environment = {});
