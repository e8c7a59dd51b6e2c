// The ANSI code page of the posix stand-in. By default it is UTF-8, and
// bytes pass as they are both ways: a posix name is its bytes, and a list
// of another code page reads as it always read. $QMVERIFY_ANSI_CODE_PAGE=1252
// (read at each use) makes it Windows' Western code page, as Windows
// converts it (no best fit), so that a native test meets what a Windows of
// that code page meets: names that its lists and outputs cannot spell.
#pragma once

#include <string>
#include <string_view>

namespace qm::posix {

bool AnsiToUtf8(std::string_view bytes, std::string& text);
bool Utf8ToAnsi(std::string_view text, std::string& bytes);

}  // namespace qm::posix
