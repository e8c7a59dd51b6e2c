// Text on Windows: the core's UTF-8 as UTF-16 for the system's W calls and
// back, the ANSI code page (of a release list saved as plain text, of what
// goes to a file or pipe) without best fit, and names folded as the system
// folds file names.
#pragma once

#include <string>
#include <string_view>

namespace qm::win32 {

// UTF-8 as UTF-16 and back; nothing is lost either way (a lone surrogate of
// a name travels in its three-byte form, see platform/Utf8.h).
std::wstring ToWide(std::string_view text);
std::string FromWide(std::wstring_view wide);

bool AnsiToUtf8(std::string_view bytes, std::string& text);
bool Utf8ToAnsi(std::string_view text, std::string& bytes);

// Every letter upper-cased as the system's invariant casing, which its
// file systems follow.
std::string NameKey(const std::string& name);

}  // namespace qm::win32
