// What both systems' consoles share: a bounded line of standard input, and
// text as UTF-16 and as the ANSI code page.
#include "cli/Console.h"

#include <cstdio>

#include "platform/Platform.h"
#include "platform/Utf8.h"

namespace qm::cli {

InputLine ReadInputLine(std::string& line, size_t capacity, std::string& reason) {
    line.clear();
    // One byte more than the line may hold: its LF, or the proof that none
    // comes in time.
    for (size_t count = 0; count <= capacity; ++count) {
        char byte = 0;
        const InputByte read = ReadInputByte(byte, reason);
        if (read == InputByte::Failed) return InputLine::Failed;
        if (read == InputByte::Ended && count == 0) return InputLine::Ended;
        if (read == InputByte::Ended || byte == '\n') {
            while (!line.empty() && line.back() == '\r') line.pop_back();
            return InputLine::Read;
        }
        line += byte;
    }
    line.clear();
    return InputLine::TooLong;
}

std::u16string TextToUtf16(const std::string& text) {
    std::u16string wide;
    Utf8ToUtf16(text, wide, true);
    return wide;
}

std::string AnsiOutput(const std::string& text) {
    IPlatform& platform = Platform();
    std::string bytes;
    if (platform.Utf8ToAnsi(text, bytes)) return bytes;
    bytes.clear();
    for (size_t at = 0; at < text.size();) {
        uint32_t code = 0;
        size_t length = DecodeUtf8OrSurrogate(text, at, code);
        if (length == 0) {  // a byte of a posix name: its Latin-1 character
            length = 1;
            code = static_cast<unsigned char>(text[at]);
        }
        std::string spelled;
        if (code < 0x80 || platform.Utf8ToAnsi(text.substr(at, length), spelled)) {
            bytes += code < 0x80 ? std::string(1, text[at]) : spelled;
        } else {
            char escape[16];
            std::snprintf(escape, sizeof escape, "<U+%04X>", static_cast<unsigned>(code));
            bytes += escape;
        }
        at += length;
    }
    return bytes;
}

}  // namespace qm::cli
