// UTF-8 both ways, written once so that every reader and writer of it agrees
// on what it is: the exported-registry reader encodes UTF-16 text with
// AppendUtf8, as does the posix stand-in's text conversion; the comment
// store (which must not cut inside a character), the command line's JSON
// escapes and the stand-in decode with DecodeUtf8.
#pragma once

#include <cstddef>
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

// The character whose UTF-8 sequence starts at text[at]: the sequence's
// length (1 to 4) and its code point, or 0 when no well-formed sequence starts
// there (a continuation byte, a lead byte without all its continuations, an
// overlong form, a surrogate U+D800 to U+DFFF, or a value beyond U+10FFFF).
// Only the shortest form counts, so that one text has one reading.
inline size_t DecodeUtf8(std::string_view text, size_t at, uint32_t& code) {
    if (at >= text.size()) return 0;
    const auto byteAt = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byteAt(at);
    // C0 and C1 could only start overlong forms, F5 and above only values
    // beyond U+10FFFF.
    const size_t length = lead < 0x80   ? 1
                          : lead < 0xC2 ? 0
                          : lead < 0xE0 ? 2
                          : lead < 0xF0 ? 3
                          : lead < 0xF5 ? 4
                                        : 0;
    if (length == 0 || text.size() - at < length) return 0;
    uint32_t value = length == 1 ? lead : lead & (0x7Fu >> length);
    for (size_t k = 1; k < length; ++k) {
        const unsigned char next = byteAt(at + k);
        if ((next & 0xC0) != 0x80) return 0;
        value = (value << 6) | (next & 0x3Fu);
    }
    if ((length == 3 && (value < 0x800 || (value >= 0xD800 && value <= 0xDFFF))) ||
        (length == 4 && (value < 0x10000 || value > 0x10FFFF))) {
        return 0;
    }
    code = value;
    return length;
}

// Whether the whole text is well-formed UTF-8 (DecodeUtf8's rules).
inline bool IsUtf8(std::string_view text) {
    uint32_t code = 0;
    for (size_t at = 0; at < text.size();) {
        const size_t length = DecodeUtf8(text, at, code);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

}  // namespace qm
