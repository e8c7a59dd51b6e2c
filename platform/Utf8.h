// UTF-8 written and read once for every user: one Unicode code point as
// UTF-8 (what the exported-registry reader and the posix stand-in make of
// UTF-16 text), and the code point a UTF-8 sequence spells.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

inline void AppendUtf8(std::string& text, uint32_t code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (code >> 18));
        text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The code point of the well-formed UTF-8 sequence at text[pos], moving pos
// past it; false (pos moved past one byte) for a byte that starts none:
// overlong forms, surrogates and values beyond U+10FFFF are no UTF-8.
inline bool NextUtf8(std::string_view text, size_t& pos, uint32_t& code) {
    const auto byteAt = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byteAt(pos);
    size_t length = lead < 0x80                    ? 1
                    : lead >= 0xC2 && lead <= 0xDF ? 2
                    : lead >= 0xE0 && lead <= 0xEF ? 3
                    : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                   : 0;
    code = length == 1   ? lead
           : length == 2 ? (lead & 0x1Fu)
           : length == 3 ? (lead & 0x0Fu)
                         : (lead & 0x07u);
    for (size_t k = 1; k < length; ++k) {
        if (pos + k >= text.size() || (byteAt(pos + k) & 0xC0) != 0x80) {
            length = 0;
            break;
        }
        code = (code << 6) | (byteAt(pos + k) & 0x3Fu);
    }
    if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
        (length == 4 && (code < 0x10000 || code > 0x10FFFF))) {
        length = 0;
    }
    if (length == 0) {
        code = lead;
        ++pos;
        return false;
    }
    pos += length;
    return true;
}

}  // namespace qm
