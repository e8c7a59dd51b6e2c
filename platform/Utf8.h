// UTF-8 both ways, written once so that every reader and writer of it agrees
// on what it is. UTF-8 is the core's text on every system: the Windows side
// of the seam turns it into UTF-16 for the system's W calls and back
// (Utf8ToUtf16, Utf16ToUtf8), the profile engine reads and writes UTF-16
// lists with them, the exported-registry reader encodes with AppendUtf8,
// and the comment store, the capacities (FirstCharacters) and the command
// line's JSON escapes decode with DecodeUtf8.
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

// DecodeUtf8, and also a lone surrogate (half of a UTF-16 pair) in its
// three-byte form ED A0..BF xx. A Windows file name may hold one; so that
// every UTF-16 name has one text that comes back whole, the conversions
// from and to UTF-16 take this form (WTF-8) for it, and only they.
inline size_t DecodeUtf8OrSurrogate(std::string_view text, size_t at, uint32_t& code) {
    const size_t length = DecodeUtf8(text, at, code);
    if (length != 0 || text.size() < at + 3) return length;
    const auto byteAt = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
    if (byteAt(at) != 0xED || (byteAt(at + 1) & 0xE0) != 0xA0 || (byteAt(at + 2) & 0xC0) != 0x80) {
        return 0;
    }
    code = 0xD000u | ((byteAt(at + 1) & 0x3Fu) << 6) | (byteAt(at + 2) & 0x3Fu);
    return 3;
}

// UTF-16 as UTF-8; a lone surrogate in its three-byte form, so that nothing
// is lost.
inline std::string Utf16ToUtf8(std::u16string_view wide) {
    std::string text;
    text.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        uint32_t code = wide[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (wide[++i] - 0xDC00u);
        }
        AppendUtf8(text, code);
    }
    return text;
}

// UTF-8 (with Utf16ToUtf8's lone surrogates) as UTF-16. A byte that starts
// no character becomes U+FFFD and the result is false; with `bytesAsLatin1`
// it stands for the Latin-1 character of its value instead (a posix name or
// list of another code page: shown, never refused).
inline bool Utf8ToUtf16(std::string_view text, std::u16string& wide, bool bytesAsLatin1 = false) {
    wide.clear();
    wide.reserve(text.size());
    bool whole = true;
    for (size_t at = 0; at < text.size();) {
        uint32_t code = 0;
        const size_t length = DecodeUtf8OrSurrogate(text, at, code);
        if (length == 0) {
            code = bytesAsLatin1 ? static_cast<unsigned char>(text[at]) : 0xFFFDu;
            whole = whole && bytesAsLatin1;
        }
        at += length == 0 ? 1 : length;
        if (code >= 0x10000) {
            wide += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            wide += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<char16_t>(code);
        }
    }
    return whole;
}

// The first `count` characters of a text, never a part of one: a capacity
// counts characters, as the code pages of one byte a character always did.
// A byte that starts no character counts as one.
inline std::string_view FirstCharacters(std::string_view text, size_t count) {
    if (text.size() <= count) return text;
    size_t at = 0;
    for (size_t taken = 0; taken < count && at < text.size(); ++taken) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
            continue;
        }
        uint32_t code = 0;
        const size_t length = DecodeUtf8OrSurrogate(text, at, code);
        at += length == 0 ? 1 : length;
    }
    return text.substr(0, at);
}

// The characters of a text, each byte that starts none counting as one.
inline size_t CharacterCount(std::string_view text) {
    size_t count = 0;
    for (size_t at = 0; at < text.size(); ++count) {
        uint32_t code = 0;
        const size_t length =
            static_cast<unsigned char>(text[at]) < 0x80 ? 1 : DecodeUtf8OrSurrogate(text, at, code);
        at += length == 0 ? 1 : length;
    }
    return count;
}

// Whether a text holds only ASCII characters (the same in every code page).
inline bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
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
