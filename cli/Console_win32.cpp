// The console on Windows: console handles answer GetConsoleMode; output is
// switched to binary so that line ends stay as written.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "cli/Console.h"

namespace qm::cli {

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

}  // namespace qm::cli
