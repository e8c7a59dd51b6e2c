// The console on posix: terminals by isatty, the echo by termios, standard
// input and output read and written unbuffered.
#include <errno.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstring>

#include "cli/Console.h"

namespace qm::cli {

namespace {

// The terminal settings to restore when a signal ends the program while
// the echo is off.
struct termios g_savedTerminal;
volatile sig_atomic_t g_echoOff = 0;

void RestoreEchoAndRaise(int signalNumber) {
    if (g_echoOff) tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_savedTerminal);
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

}  // namespace

bool IsTerminal(StandardStream stream) {
    const int fd = stream == StandardStream::Input    ? STDIN_FILENO
                   : stream == StandardStream::Output ? STDOUT_FILENO
                                                      : STDERR_FILENO;
    return isatty(fd) == 1;
}

std::vector<std::string> CommandArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
}

// A terminal shows UTF-8 as it is; a file or pipe gets the code page's bytes.
bool WriteStandard(StandardStream stream, const std::string& text, std::string& reason) {
    const int fd = stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO;
    const std::string bytes = isatty(fd) == 1 ? text : AnsiOutput(text);
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            reason = std::strerror(written < 0 ? errno : EIO);
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

InputByte ReadInputByte(char& byte, std::string& reason) {
    for (;;) {
        const ssize_t got = read(STDIN_FILENO, &byte, 1);
        if (got == 1) return InputByte::Byte;
        if (got == 0) return InputByte::Ended;
        if (errno == EINTR) continue;
        if (errno == EBADF) return InputByte::Ended;  // standard input is closed
        reason = errno == EISDIR ? "it is a directory" : std::strerror(errno);
        return InputByte::Failed;
    }
}

InputLine ReadHiddenLine(std::string& line, size_t capacity, std::string& reason) {
    if (tcgetattr(STDIN_FILENO, &g_savedTerminal) != 0) {
        return ReadInputLine(line, capacity, reason);
    }
    struct sigaction restore = {};
    restore.sa_handler = RestoreEchoAndRaise;
    struct sigaction previous[sizeof kEndingSignals / sizeof kEndingSignals[0]];
    for (size_t i = 0; i < sizeof kEndingSignals / sizeof kEndingSignals[0]; ++i) {
        sigaction(kEndingSignals[i], &restore, &previous[i]);
    }
    struct termios quiet = g_savedTerminal;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    g_echoOff = 1;
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    const InputLine read = ReadInputLine(line, capacity, reason);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_savedTerminal);
    g_echoOff = 0;
    for (size_t i = 0; i < sizeof kEndingSignals / sizeof kEndingSignals[0]; ++i) {
        sigaction(kEndingSignals[i], &previous[i], nullptr);
    }
    return read;
}

}  // namespace qm::cli
