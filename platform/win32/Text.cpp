#include "platform/win32/Text.h"

#include <windows.h>

#include <mbstring.h>

#include <climits>

#include "platform/Platform.h"

namespace qm::win32 {

bool Utf16ToSystemText(std::u16string_view wide, std::string& text) {
    text.clear();
    if (wide.empty()) return true;
    if (wide.size() > static_cast<size_t>(INT_MAX)) return false;
    const wchar_t* units = reinterpret_cast<const wchar_t*>(wide.data());
    const int count = static_cast<int>(wide.size());
    // No best fit ("ł" is no "l"); a character without an equivalent is
    // told by the default character. A UTF-8 code page takes neither flag
    // but refuses what it cannot encode.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* askUsed = utf8 ? nullptr : &usedDefault;
    const int size = WideCharToMultiByte(CP_ACP, flags, units, count, nullptr, 0, nullptr, askUsed);
    if (size <= 0) return false;
    text.resize(static_cast<size_t>(size));
    WideCharToMultiByte(CP_ACP, flags, units, count, &text[0], size, nullptr, askUsed);
    if (utf8) {
        // Half a surrogate pair comes out as U+FFFD.
        return text.find("\xEF\xBF\xBD") == std::string::npos ||
               std::u16string_view(wide).find(u'\xFFFD') != std::u16string_view::npos;
    }
    return usedDefault == FALSE;
}

bool SystemTextToUtf16(std::string_view text, std::u16string& wide) {
    wide.clear();
    if (text.empty()) return true;
    if (text.size() > static_cast<size_t>(INT_MAX)) return false;
    const int count = static_cast<int>(text.size());
    int size = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), count, nullptr, 0);
    const bool whole = size > 0;
    const DWORD flags = whole ? MB_ERR_INVALID_CHARS : 0;  // else with U+FFFD for the rest
    if (!whole) size = MultiByteToWideChar(CP_ACP, 0, text.data(), count, nullptr, 0);
    if (size <= 0) return false;
    wide.resize(static_cast<size_t>(size));
    MultiByteToWideChar(CP_ACP, flags, text.data(), count, reinterpret_cast<wchar_t*>(&wide[0]),
                        size);
    return whole;
}

}  // namespace qm::win32

namespace qm {

int CompareText(const char* a, const char* b) {
    return _mbscmp(reinterpret_cast<const unsigned char*>(a),
                   reinterpret_cast<const unsigned char*>(b));
}

}  // namespace qm
