#include "cli/Console.h"

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <signal.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace qm::cli {

bool ReadInputLine(std::string& line, size_t capacity) {
    line.clear();
    bool anyByte = false;
    for (int c = std::getchar(); c != EOF; c = std::getchar()) {
        anyByte = true;
        if (c == '\n') break;
        if (line.size() < capacity) line += static_cast<char>(c);
    }
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return anyByte;
}

#ifdef _WIN32

namespace {
HANDLE StandardHandle(StandardStream stream) {
    switch (stream) {
        case StandardStream::Input:
            return GetStdHandle(STD_INPUT_HANDLE);
        case StandardStream::Output:
            return GetStdHandle(STD_OUTPUT_HANDLE);
        default:
            return GetStdHandle(STD_ERROR_HANDLE);
    }
}
}  // namespace

// A console handle answers GetConsoleMode; files, pipes and NUL do not.
bool IsTerminal(StandardStream stream) {
    DWORD mode = 0;
    return GetConsoleMode(StandardHandle(stream), &mode) != 0;
}

void UseBinaryOutput() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

bool ReadHiddenLine(std::string& line, size_t capacity) {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    const bool console = GetConsoleMode(input, &mode) != 0;
    if (console) SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    const bool ok = ReadInputLine(line, capacity);
    if (console) SetConsoleMode(input, mode);
    return ok;
}

std::u16string SystemTextToUtf16(const std::string& text) {
    if (text.empty()) return std::u16string();
    const int size = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (units <= 0) return std::u16string(text.begin(), text.end());
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, &wide[0], units);
    return std::u16string(wide.begin(), wide.end());
}

#else

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

void UseBinaryOutput() {}

bool ReadHiddenLine(std::string& line, size_t capacity) {
    if (tcgetattr(STDIN_FILENO, &g_savedTerminal) != 0) return ReadInputLine(line, capacity);
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
    const bool ok = ReadInputLine(line, capacity);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_savedTerminal);
    g_echoOff = 0;
    for (size_t i = 0; i < sizeof kEndingSignals / sizeof kEndingSignals[0]; ++i) {
        sigaction(kEndingSignals[i], &previous[i], nullptr);
    }
    return ok;
}

std::u16string SystemTextToUtf16(const std::string& text) {
    std::u16string result;
    result.reserve(text.size());
    const auto byteAt = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = byteAt(i);
        size_t length = lead < 0x80                    ? 1
                        : lead >= 0xC2 && lead <= 0xDF ? 2
                        : lead >= 0xE0 && lead <= 0xEF ? 3
                        : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                       : 0;
        char32_t code = length == 1   ? lead
                        : length == 2 ? (lead & 0x1F)
                        : length == 3 ? (lead & 0x0F)
                                      : (lead & 0x07);
        for (size_t k = 1; k < length; ++k) {
            if (i + k >= text.size() || (byteAt(i + k) & 0xC0) != 0x80) {
                length = 0;
                break;
            }
            code = (code << 6) | (byteAt(i + k) & 0x3F);
        }
        // Overlong forms, surrogates and values beyond U+10FFFF are no UTF-8.
        if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (length == 4 && (code < 0x10000 || code > 0x10FFFF))) {
            length = 0;
        }
        if (length == 0) {
            result += static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            result += static_cast<char16_t>(0xD800 + (code >> 10));
            result += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            result += static_cast<char16_t>(code);
        }
        i += length;
    }
    return result;
}

#endif

}  // namespace qm::cli
