// Text between UTF-16 and the system's ANSI code page on Windows.
#pragma once

#include <string>
#include <string_view>

namespace qm::win32 {

bool Utf16ToSystemText(std::u16string_view wide, std::string& text);
bool SystemTextToUtf16(std::string_view text, std::u16string& wide);

}  // namespace qm::win32
