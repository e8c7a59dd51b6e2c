#include "platform/posix/CodePage.h"

#include <cstdint>

#include "platform/Utf8.h"
#include "platform/posix/PathMapping.h"

namespace qm::posix {

namespace {

// Windows-1252 from 0x80 to 0x9F, as MultiByteToWideChar gives it (its five
// unassigned bytes as the C1 characters of their value); the rest is Latin-1.
constexpr char16_t kWestern80To9F[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool Western() { return EnvironmentText("QMVERIFY_ANSI_CODE_PAGE") == "1252"; }

bool WesternByte(uint32_t code, char& byte) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        byte = static_cast<char>(code);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kWestern80To9F[i] == code) {
            byte = static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}

}  // namespace

bool AnsiToUtf8(std::string_view bytes, std::string& text) {
    if (!Western() || IsAscii(bytes)) {
        text.assign(bytes);
        return true;
    }
    text.clear();
    for (char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        AppendUtf8(text, byte >= 0x80 && byte < 0xA0 ? kWestern80To9F[byte - 0x80] : byte);
    }
    return true;
}

bool Utf8ToAnsi(std::string_view text, std::string& bytes) {
    if (!Western() || IsAscii(text)) {
        bytes.assign(text);
        return true;
    }
    bytes.clear();
    bool whole = true;
    for (size_t at = 0; at < text.size();) {
        uint32_t code = 0;
        size_t length = DecodeUtf8(text, at, code);
        // A byte that starts no character is a byte of a posix name: itself.
        if (length == 0) code = static_cast<unsigned char>(text[at]);
        at += length == 0 ? 1 : length;
        char byte = '?';
        if (!WesternByte(code, byte)) whole = false;
        bytes += byte;
    }
    return whole;
}

}  // namespace qm::posix
