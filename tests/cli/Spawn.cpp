#include "Spawn.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
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

HANDLE OpenInheritable(const std::string& path, bool forWriting) {
    SECURITY_ATTRIBUTES security = {sizeof security, nullptr, TRUE};
    return CreateFileA(path.c_str(), forWriting ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                       forWriting ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

#else

std::string TempFileName() {
    char name[] = "/tmp/qmcli-io-XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    return name;
}

#endif

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& args, const std::string& input,
                       const Environment& environment)
    : m_inPath(TempFileName()), m_outPath(TempFileName()), m_errPath(TempFileName()) {
    WriteAll(m_inPath, input);
#ifdef _WIN32
    (void)environment;
    const std::string program = CliPath();
    std::string commandLine = Quote(program);
    for (const std::string& arg : args) commandLine += " " + Quote(arg);
    HANDLE in = OpenInheritable(m_inPath, false);
    HANDLE out = OpenInheritable(m_outPath, true);
    HANDLE err = OpenInheritable(m_errPath, true);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                       nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        m_process = process.hProcess;
    }
    CloseHandle(in);
    CloseHandle(out);
    CloseHandle(err);
#else
    const pid_t child = fork();
    if (child == 0) {
        if (!freopen(m_inPath.c_str(), "rb", stdin) || !freopen(m_outPath.c_str(), "wb", stdout) ||
            !freopen(m_errPath.c_str(), "wb", stderr)) {
            _exit(127);
        }
        for (const auto& variable : environment) {
            if (variable.second.empty()) {
                unsetenv(variable.first.c_str());
            } else {
                setenv(variable.first.c_str(), variable.second.c_str(), 1);
            }
        }
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(QMVERIFY_CLI_PATH));
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(QMVERIFY_CLI_PATH, argv.data());
        _exit(127);
    }
    m_pid = child;
#endif
}

CliProcess::~CliProcess() { Wait(); }

void CliProcess::Kill() {
#ifdef _WIN32
    if (m_process != nullptr) TerminateProcess(m_process, static_cast<UINT>(-1));
#else
    if (m_pid > 0) kill(m_pid, SIGKILL);
#endif
}

CliRun CliProcess::Wait() {
    if (m_waited) return m_run;
    m_waited = true;
#ifdef _WIN32
    if (m_process != nullptr) {
        WaitForSingleObject(m_process, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(m_process, &code);
        m_run.status = code == static_cast<DWORD>(-1) ? -1 : static_cast<int>(code);
        CloseHandle(m_process);
    }
#else
    int status = 0;
    if (m_pid > 0 && waitpid(m_pid, &status, 0) == m_pid && WIFEXITED(status)) {
        m_run.status = WEXITSTATUS(status);
    }
#endif
    m_run.out = ReadAll(m_outPath);
    m_run.err = ReadAll(m_errPath);
    std::remove(m_inPath.c_str());
    std::remove(m_outPath.c_str());
    std::remove(m_errPath.c_str());
    return m_run;
}

CliRun RunCli(const std::vector<std::string>& args, const std::string& input,
              const Environment& environment) {
    return CliProcess(args, input, environment).Wait();
}
