// The window's edge of the text: the core's texts are UTF-8, the system's
// windows and messages take UTF-16 (the W calls), so that a name that the
// ANSI code page cannot spell shows as it is. Every text that reaches a
// control, a message box or the list view passes here; a control that still
// asks in the code page ("A" notifications) gets its spelling of the text.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "platform/Utf8.h"

inline std::wstring Wide(std::string_view text) {
    std::u16string units;
    qm::Utf8ToUtf16(text, units);
    return std::wstring(units.begin(), units.end());
}

inline std::string Utf8(std::wstring_view wide) {
    return qm::Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

inline std::string Utf8(const wchar_t* wide) {
    return wide != nullptr ? Utf8(std::wstring_view(wide)) : std::string();
}

// The text in the ANSI code page, '?' for what it cannot spell: only for
// the "A" requests of a control, never for a name that is to be used.
inline std::string AnsiSpelling(std::string_view text) {
    std::string bytes;
    qm::Platform().Utf8ToAnsi(text, bytes);
    return bytes;
}
