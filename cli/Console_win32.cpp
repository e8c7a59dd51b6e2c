// The console on Windows: a console handle answers GetConsoleMode; files,
// pipes and NUL do not. Standard handles are read and written directly, so
// that no runtime library buffers or translates what passes.
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <algorithm>

#include "cli/Console.h"
#include "platform/Platform.h"
#include "platform/Utf8.h"

namespace qm::cli {

namespace {

HANDLE StandardHandle(StandardStream stream) {
    switch (stream) {
        case StandardStream::Input:
            return GetStdHandle(STD_INPUT_HANDLE);
        case StandardStream::Output:
            return GetStdHandle(STD_OUTPUT_HANDLE);
        case StandardStream::Error:
            break;
    }
    return GetStdHandle(STD_ERROR_HANDLE);
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

// A write that takes nothing would repeat for ever: count it as failed.
bool Progressed(BOOL ok, DWORD written) {
    if (ok && written == 0) SetLastError(ERROR_WRITE_FAULT);
    return ok && written > 0;
}

bool WriteBytes(HANDLE handle, const std::string& text) {
    constexpr size_t kPiece = 1 << 20;
    for (size_t done = 0; done < text.size();) {
        const DWORD size = static_cast<DWORD>(std::min(kPiece, text.size() - done));
        DWORD written = 0;
        const BOOL ok = WriteFile(handle, text.data() + done, size, &written, nullptr);
        if (!Progressed(ok, written)) return false;
        done += written;
    }
    return true;
}

bool WriteConsoleWide(HANDLE handle, const std::u16string& wide) {
    for (size_t done = 0; done < wide.size();) {
        DWORD written = 0;
        const BOOL ok = WriteConsoleW(handle, reinterpret_cast<const wchar_t*>(wide.data() + done),
                                      static_cast<DWORD>(wide.size() - done), &written, nullptr);
        if (!Progressed(ok, written)) return false;
        done += written;
    }
    return true;
}

// Converted and written in pieces that end after a line end where one comes:
// older consoles refuse writes beyond some 64 KB, and LF is never part of a
// UTF-8 character, so no character is cut.
bool WriteConsoleText(HANDLE handle, const std::string& text) {
    constexpr size_t kPiece = 16 * 1024;
    for (size_t done = 0; done < text.size();) {
        size_t size = std::min(kPiece, text.size() - done);
        if (done + size < text.size()) {
            const size_t lineEnd = text.rfind('\n', done + size - 1);
            if (lineEnd != std::string::npos && lineEnd >= done) size = lineEnd + 1 - done;
        }
        if (!WriteConsoleWide(handle, TextToUtf16(text.substr(done, size)))) return false;
        done += size;
    }
    return true;
}

}  // namespace

std::vector<std::string> CommandArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    }
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) {
        const std::wstring_view arg(wide[i]);
        args.push_back(Utf16ToUtf8(std::u16string(arg.begin(), arg.end())));
    }
    LocalFree(wide);
    return args;
}

bool IsTerminal(StandardStream stream) { return IsConsole(StandardHandle(stream)); }

bool WriteStandard(StandardStream stream, const std::string& text, std::string& reason) {
    if (text.empty()) return true;
    const HANDLE handle = StandardHandle(stream);
    if (IsConsole(handle) ? WriteConsoleText(handle, text) : WriteBytes(handle, AnsiOutput(text))) {
        return true;
    }
    const DWORD error = GetLastError();  // before anything else can change it
    reason = Platform().ErrorText(error);
    return false;
}

InputByte ReadInputByte(char& byte, std::string& reason) {
    const HANDLE input = StandardHandle(StandardStream::Input);
    if (input == nullptr || input == INVALID_HANDLE_VALUE) return InputByte::Ended;  // none given
    DWORD got = 0;
    if (ReadFile(input, &byte, 1, &got, nullptr))
        return got == 1 ? InputByte::Byte : InputByte::Ended;
    const DWORD error = GetLastError();
    // A pipe whose writer has closed it ends so.
    if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return InputByte::Ended;
    BY_HANDLE_FILE_INFORMATION info = {};
    const bool directory = GetFileInformationByHandle(input, &info) != 0 &&
                           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    reason = directory ? "it is a directory" : Platform().ErrorText(error);
    return InputByte::Failed;
}

InputLine ReadHiddenLine(std::string& line, size_t capacity, std::string& reason) {
    const HANDLE input = StandardHandle(StandardStream::Input);
    DWORD mode = 0;
    const bool console = GetConsoleMode(input, &mode) != 0;
    if (console) SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    const InputLine read = ReadInputLine(line, capacity, reason);
    if (console) SetConsoleMode(input, mode);
    return read;
}

}  // namespace qm::cli
