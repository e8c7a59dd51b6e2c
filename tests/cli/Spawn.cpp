#include "Spawn.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#ifdef _WIN32
#include <windows.h>
#else
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

extern char** environ;
#endif

namespace {

// Tries of a start whose cause may pass, with waits of 0.1, 0.2, 0.4 and
// 0.8 s between them.
constexpr int kStartTries = 5;

int WaitBeforeTry(int attempt) { return 100 << (attempt - 1); }  // milliseconds

std::string TriesText(int tries) {
    return "on " + std::to_string(tries) + (tries == 1 ? " try" : " tries");
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Says in the test's log that a start needed more than one try, and why:
// what passed is worth knowing, too.
void NoteRetries(int tries, const std::string& failures) {
    if (tries > 1) {
        std::fprintf(stderr, "note: qmverify-cli started at try %d, after: %s\n", tries,
                     failures.c_str());
    }
}

#ifdef _WIN32

// A path of the build host ("/work/...") as Wine's drive Z: sees it.
std::string CliPath() {
    std::string path = QMVERIFY_CLI_PATH;
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

// One argument quoted the way the runtime library splits a command line.
std::string Quote(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

std::string TempFileName() {
    char directory[MAX_PATH];
    char name[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    GetTempFileNameA(directory, "qmc", 0, name);
    return name;
}

std::string SystemMessage(DWORD error) {
    char* text = nullptr;
    const DWORD size = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = size > 0 ? std::string(text, size) : std::string("unknown error");
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    return message + " (error " + std::to_string(error) + ")";
}

// Causes that another try cannot mend: no such program or folder, or no
// program at all.
bool Lasting(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_PARAMETER:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_EXE_FORMAT:
        case ERROR_EXE_MACHINE_TYPE_MISMATCH:
        case ERROR_DIRECTORY:
            return true;
        default:
            return false;
    }
}

// A file (or, for standard input, a directory) as an inheritable handle.
HANDLE OpenInheritable(const std::string& path, bool forWriting) {
    SECURITY_ATTRIBUTES security = {sizeof security, nullptr, TRUE};
    return CreateFileA(path.c_str(), forWriting ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &security,
                       forWriting ? CREATE_ALWAYS : OPEN_EXISTING,
                       forWriting ? FILE_ATTRIBUTE_NORMAL : FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

#else

std::string TempFileName() {
    char name[] = "/tmp/qmcli-io-XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    return name;
}

// What the child reports through its pipe when it could not exec.
struct ChildFailure {
    int step;  // index into kChildSteps
    int error;
};
constexpr const char* kChildSteps[] = {"open its standard input", "open its standard output",
                                       "open its standard error", "enter its working directory",
                                       "start it"};

// Only what may differ at the next try: a busy executable (just written)
// or a system short of processes or memory.
bool Passing(int error) { return error == ETXTBSY || error == EAGAIN || error == ENOMEM; }

void SleepMilliseconds(int milliseconds) {
    struct timespec pause = {milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
}

// Our environment with the test's changes, made before the fork: the child
// may call only async-signal-safe functions.
std::vector<std::string> ChildEnvironment(const Environment& changes) {
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string text = *variable;
        bool changed = false;
        for (const auto& change : changes) {
            changed = changed || text.compare(0, change.first.size() + 1, change.first + "=") == 0;
        }
        if (!changed) variables.push_back(text);
    }
    for (const auto& change : changes) {
        if (!change.second.empty()) variables.push_back(change.first + "=" + change.second);
    }
    return variables;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(&text[0]);
    pointers.push_back(nullptr);
    return pointers;
}

#endif

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& args, const SpawnOptions& options)
    : m_inPath(TempFileName()), m_outPath(TempFileName()), m_errPath(TempFileName()) {
    Start(args, options);
}

CliProcess::CliProcess(const std::vector<std::string>& args, const std::string& input,
                       const Environment& environment)
    : m_inPath(TempFileName()), m_outPath(TempFileName()), m_errPath(TempFileName()) {
    SpawnOptions options;
    options.input = input;
    options.environment = environment;
    Start(args, options);
}

#ifdef _WIN32

void CliProcess::Start(const std::vector<std::string>& args, const SpawnOptions& options) {
    WriteAll(m_inPath, options.input);
    const std::string program = options.program.empty() ? CliPath() : options.program;
    std::string commandLine = Quote(program);
    for (const std::string& arg : args) commandLine += " " + Quote(arg);
    const std::string inPath = options.inputPath.empty() ? m_inPath : options.inputPath;
    HANDLE in = options.closedInput ? nullptr : OpenInheritable(inPath, false);
    HANDLE out = OpenInheritable(m_outPath, !options.refusedOutput);
    HANDLE err = OpenInheritable(m_errPath, true);
    if (in == INVALID_HANDLE_VALUE || out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE) {
        m_startFailure =
            "its standard handles could not be opened: " + SystemMessage(GetLastError());
    } else {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in;
        startup.hStdOutput = out;
        startup.hStdError = err;
        const char* directory =
            options.workingDirectory.empty() ? nullptr : options.workingDirectory.c_str();
        std::string failures;
        for (int attempt = 1; attempt <= kStartTries; ++attempt) {
            if (attempt > 1) Sleep(static_cast<DWORD>(WaitBeforeTry(attempt - 1)));
            PROCESS_INFORMATION process = {};
            std::string writable = commandLine;  // CreateProcessA may change it
            if (CreateProcessA(program.c_str(), &writable[0], nullptr, nullptr, TRUE, 0, nullptr,
                               directory, &startup, &process)) {
                CloseHandle(process.hThread);
                m_process = process.hProcess;
                NoteRetries(attempt, failures);
                break;
            }
            const DWORD error = GetLastError();
            failures += (failures.empty() ? "" : "; ") + SystemMessage(error);
            m_startFailure = "CreateProcessA failed " + TriesText(attempt) + ": " + failures;
            if (Lasting(error)) break;
        }
        if (m_process != nullptr) m_startFailure.clear();
    }
    for (HANDLE handle : {in, out, err}) {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
}

void CliProcess::Kill() {
    if (m_process != nullptr) TerminateProcess(m_process, static_cast<UINT>(-1));
}

#else

void CliProcess::Start(const std::vector<std::string>& args, const SpawnOptions& options) {
    WriteAll(m_inPath, options.input);
    std::string program = options.program.empty() ? QMVERIFY_CLI_PATH : options.program;
    std::vector<std::string> argTexts = {program};
    argTexts.insert(argTexts.end(), args.begin(), args.end());
    std::vector<std::string> environment = ChildEnvironment(options.environment);
    const std::vector<char*> argv = Pointers(argTexts);
    const std::vector<char*> envp = Pointers(environment);
    const std::string inPath = options.inputPath.empty() ? m_inPath : options.inputPath;
    const std::string outPath = options.refusedOutput ? "/dev/full" : m_outPath;

    std::string failures;
    for (int attempt = 1; attempt <= kStartTries; ++attempt) {
        if (attempt > 1) SleepMilliseconds(WaitBeforeTry(attempt - 1));
        int report[2];
        ChildFailure failure = {4, 0};
        if (pipe2(report, O_CLOEXEC) != 0) {
            failure.error = errno;
        } else {
            const pid_t child = fork();
            if (child == 0) {
                // Only async-signal-safe calls from here on.
                const auto fail = [&report](int step) {
                    const ChildFailure what = {step, errno};
                    if (write(report[1], &what, sizeof what) < 0) _exit(126);
                    _exit(127);
                };
                if (options.closedInput) {
                    close(STDIN_FILENO);
                } else {
                    const int in = open(inPath.c_str(), O_RDONLY);
                    if (in < 0 || dup2(in, STDIN_FILENO) < 0) fail(0);
                }
                const int out = open(outPath.c_str(), O_WRONLY | O_TRUNC);
                if (out < 0 || dup2(out, STDOUT_FILENO) < 0) fail(1);
                const int err = open(m_errPath.c_str(), O_WRONLY | O_TRUNC);
                if (err < 0 || dup2(err, STDERR_FILENO) < 0) fail(2);
                if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()))
                    fail(3);
                execve(program.c_str(), argv.data(), envp.data());
                fail(4);
            }
            failure.error = child < 0 ? errno : 0;
            close(report[1]);
            // The pipe closes unread when the exec succeeds.
            if (child > 0 && read(report[0], &failure, sizeof failure) == sizeof failure) {
                waitpid(child, nullptr, 0);
            } else if (child > 0) {
                m_pid = child;
            }
            close(report[0]);
        }
        if (m_pid > 0) {
            NoteRetries(attempt, failures);
            m_startFailure.clear();
            break;
        }
        failures += (failures.empty() ? "" : "; ") + std::string("could not ") +
                    kChildSteps[failure.step] + ": " + std::strerror(failure.error);
        m_startFailure = program + " failed " + TriesText(attempt) + ": " + failures;
        if (!Passing(failure.error)) break;
    }
}

void CliProcess::Kill() {
    if (m_pid > 0) kill(m_pid, SIGKILL);
}

#endif

CliProcess::~CliProcess() { Wait(); }

CliRun CliProcess::Wait() {
    if (m_waited) return m_run;
    m_waited = true;
#ifdef _WIN32
    if (m_process != nullptr) {
        WaitForSingleObject(m_process, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(m_process, &code);
        m_run.status = code == static_cast<DWORD>(-1) ? -1 : static_cast<int>(code);
        m_run.started = true;
        CloseHandle(m_process);
    }
#else
    int status = 0;
    if (m_pid > 0) {
        m_run.started = true;
        if (waitpid(m_pid, &status, 0) == m_pid && WIFEXITED(status)) {
            m_run.status = WEXITSTATUS(status);
        }
    }
#endif
    m_run.out = ReadAll(m_outPath);
    m_run.err = m_run.started ? ReadAll(m_errPath) : "(not started) " + m_startFailure;
    std::remove(m_inPath.c_str());
    std::remove(m_outPath.c_str());
    std::remove(m_errPath.c_str());
    return m_run;
}

CliRun RunCli(const std::vector<std::string>& args, const SpawnOptions& options) {
    return CliProcess(args, options).Wait();
}

CliRun RunCli(const std::vector<std::string>& args, const std::string& input,
              const Environment& environment) {
    return CliProcess(args, input, environment).Wait();
}
