#include "platform/win32/Text.h"

#include <windows.h>

#include <climits>

#include "platform/Platform.h"
#include "platform/Utf8.h"

namespace qm::win32 {

std::wstring ToWide(std::string_view text) {
    std::u16string wide;
    Utf8ToUtf16(text, wide);
    return std::wstring(wide.begin(), wide.end());
}

std::string FromWide(std::wstring_view wide) {
    return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

bool AnsiToUtf8(std::string_view bytes, std::string& text) {
    if (IsAscii(bytes)) {
        text.assign(bytes);
        return true;
    }
    text.clear();
    if (bytes.size() > static_cast<size_t>(INT_MAX)) return false;
    const int count = static_cast<int>(bytes.size());
    int size = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), count, nullptr, 0);
    const bool whole = size > 0;
    const DWORD flags = whole ? MB_ERR_INVALID_CHARS : 0;  // else with U+FFFD for the rest
    if (!whole) size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), count, nullptr, 0);
    if (size <= 0) return false;
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, flags, bytes.data(), count, &wide[0], size);
    text = FromWide(wide);
    return whole;
}

bool Utf8ToAnsi(std::string_view text, std::string& bytes) {
    if (IsAscii(text)) {
        bytes.assign(text);
        return true;
    }
    bytes.clear();
    std::u16string units;
    const bool decoded = Utf8ToUtf16(text, units);
    if (units.size() > static_cast<size_t>(INT_MAX)) return false;
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(units.data());
    const int count = static_cast<int>(units.size());
    // No best fit ("ō" is no "o"); a character without an equivalent is
    // told by the default character. A UTF-8 code page takes neither flag
    // but refuses what it cannot encode.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* askUsed = utf8 ? nullptr : &usedDefault;
    const int size = WideCharToMultiByte(CP_ACP, flags, wide, count, nullptr, 0, nullptr, askUsed);
    if (size <= 0) return false;
    bytes.resize(static_cast<size_t>(size));
    WideCharToMultiByte(CP_ACP, flags, wide, count, &bytes[0], size, nullptr, askUsed);
    if (utf8) {
        // Half a surrogate pair comes out as U+FFFD.
        return decoded && (bytes.find("\xEF\xBF\xBD") == std::string::npos ||
                           units.find(u'\xFFFD') != std::u16string::npos);
    }
    return decoded && usedDefault == FALSE;
}

std::string NameKey(const std::string& name) {
    const std::wstring wide = ToWide(name);
    if (wide.empty() || wide.size() > static_cast<size_t>(INT_MAX)) return name;
    const int count = static_cast<int>(wide.size());
    const int size = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), count,
                                   nullptr, 0, nullptr, nullptr, 0);
    if (size <= 0) return name;
    std::wstring upper(static_cast<size_t>(size), L'\0');
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), count, &upper[0], size,
                      nullptr, nullptr, 0) != size) {
        return name;
    }
    return FromWide(upper);
}

}  // namespace qm::win32
