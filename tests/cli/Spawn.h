// Runs the built qmverify-cli as its own process, with standard input from
// a text and standard output and error caught, as an operator's shell would.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct CliRun {
    int status = -1;  // exit status; -1 when the program could not be started
    std::string out;
    std::string err;
};

using Environment = std::vector<std::pair<std::string, std::string>>;

// qmverify-cli started and still running, so that a test can let it race
// another one or kill it part way. Destroying it waits for it.
class CliProcess {
public:
    // `environment`: variables to set in the child (an empty value unsets
    // one); ignored on Windows, where the child inherits ours.
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
    std::string m_inPath, m_outPath, m_errPath;
    bool m_waited = false;
    CliRun m_run;
#ifdef _WIN32
    void* m_process = nullptr;
#else
    int m_pid = -1;
#endif
};

CliRun RunCli(const std::vector<std::string>& args, const std::string& input = std::string(),
              const Environment& environment = {});
