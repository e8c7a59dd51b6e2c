#include "core/HexText.h"

namespace qm {

namespace {

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string HexText(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * bytes.size());
    for (char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}

bool BytesFromHex(std::string_view text, size_t length, std::string& bytes) {
    bytes.clear();
    if (text.size() != 2 * length) return false;
    std::string decoded(length, '\0');
    for (size_t i = 0; i < length; ++i) {
        const int high = DigitValue(text[2 * i]);
        const int low = DigitValue(text[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        decoded[i] = static_cast<char>((high << 4) | low);
    }
    bytes = std::move(decoded);
    return true;
}

}  // namespace qm
