// What the command line needs of the console beyond standard C++: whether a
// stream is a terminal, bounded line reads (with the echo off for a
// password), output that reaches a console in letters it shows, and the
// system code page for JSON escapes. Console_win32.cpp and Console_posix.cpp
// hold each system's part, Console_common.cpp what they share.
#pragma once

#include <cstddef>
#include <string>

namespace qm::cli {

enum class StandardStream { Input, Output, Error };

bool IsTerminal(StandardStream stream);

// Writes all of `text` to standard output or error; false and the system's
// reason when it could not be written whole. Every write of the command line
// goes through here. To a file or pipe the bytes go out as given (no LF to
// CRLF on Windows), so that every format has the same bytes everywhere. A
// Windows console shows its own (OEM) code page, in which the bytes of the
// ANSI code page are other letters: there the text is converted from the
// ANSI code page and written as UTF-16 (WriteConsoleW).
bool WriteStandard(StandardStream stream, const std::string& text, std::string& reason);

// How reading a line of standard input ended.
enum class InputLine {
    Read,     // a line, perhaps empty, or the last bytes before the input ended
    Ended,    // the input ended, or is closed, before its first byte
    TooLong,  // no line end within the capacity: nothing was taken
    Failed,   // standard input cannot be read (a directory, a read error)
};

// Reads one line of standard input, without its line end (LF, with any CR
// before it): at most `capacity` bytes before the LF, and never more than
// capacity + 1 bytes from the input, so that an endless input (/dev/zero)
// ends at once. `reason` says why, when it failed.
InputLine ReadInputLine(std::string& line, size_t capacity, std::string& reason);

// The same from the terminal on standard input with echo turned off,
// restoring the echo afterwards (also when interrupted).
InputLine ReadHiddenLine(std::string& line, size_t capacity, std::string& reason);

// The system's part of ReadInputLine: one byte of standard input, taken
// unbuffered so that nothing beyond the line is consumed.
enum class InputByte { Byte, Ended, Failed };
InputByte ReadInputByte(char& byte, std::string& reason);

// 8-bit text of the system code page as UTF-16 code units: the ANSI code
// page on Windows; UTF-8 elsewhere, where a byte that starts no valid
// sequence stands for itself (Latin-1).
std::u16string SystemTextToUtf16(const std::string& text);

}  // namespace qm::cli
