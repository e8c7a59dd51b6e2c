// What the command line needs of the console beyond standard C++: whether a
// stream is a terminal, reading a line without echo, byte-exact output, and
// the system code page for JSON escapes. Console_win32.cpp and
// Console_posix.cpp hold each system's part, Console_common.cpp what they
// share.
#pragma once

#include <string>

namespace qm::cli {

enum class StandardStream { Input, Output, Error };

bool IsTerminal(StandardStream stream);

// Standard output and error write bytes as given (no LF to CRLF on Windows),
// so that every format has the same line ends everywhere.
void UseBinaryOutput();

// Reads one line of standard input, at most `capacity` bytes of it (the
// rest of a longer line is skipped); trailing CR and LF are removed. False
// when the input ends before any byte.
bool ReadInputLine(std::string& line, size_t capacity);

// Reads one line from the terminal on standard input with echo turned off,
// restoring the echo afterwards (also when interrupted). The line end is not
// kept. False at end of input or on a read error.
bool ReadHiddenLine(std::string& line, size_t capacity);

// 8-bit text of the system code page as UTF-16 code units: the ANSI code
// page on Windows; UTF-8 elsewhere, where a byte that starts no valid
// sequence stands for itself (Latin-1).
std::u16string SystemTextToUtf16(const std::string& text);

}  // namespace qm::cli
