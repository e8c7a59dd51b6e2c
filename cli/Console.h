// What the command line needs of the console beyond standard C++: the
// arguments as UTF-8, whether a stream is a terminal, bounded line reads
// (with the echo off for a password), output that reaches a console in the
// letters it shows and a file in the ANSI code page, and the text as UTF-16
// for JSON escapes. Console_win32.cpp and Console_posix.cpp hold each
// system's part, Console_common.cpp what they share.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qm::cli {

enum class StandardStream { Input, Output, Error };

// The arguments after the program's name, as UTF-8 (on Windows from the
// wide command line, so that a name the ANSI code page cannot spell is
// taken as it is).
std::vector<std::string> CommandArguments(int argc, char** argv);

bool IsTerminal(StandardStream stream);

// Writes all of `text` (UTF-8) to standard output or error; false and the
// system's reason when it could not be written whole. Every write of the
// command line goes through here. A Windows console takes it as UTF-16
// (WriteConsoleW), so that every name shows as it is; a file or pipe gets
// AnsiOutput's bytes, the same on every system (no LF to CRLF on Windows).
bool WriteStandard(StandardStream stream, const std::string& text, std::string& reason);

// The text in the ANSI code page, as a file or pipe gets it: each character
// that the code page cannot spell as "<U+0435>" (its code point), never as
// '?'. No file name holds '<' or '>', so a reader gets every true name back
// from it.
std::string AnsiOutput(const std::string& text);

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

// The text as UTF-16 code units; a byte that starts no UTF-8 character (a
// posix name or list of another code page) stands for itself (Latin-1).
std::u16string TextToUtf16(const std::string& text);

}  // namespace qm::cli
