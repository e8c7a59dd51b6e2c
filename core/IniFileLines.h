// The line syntax of the profile engine (core/IniFile.h), shared by its
// reading, its index and its writing: where a line ends, how a line reads
// (section, key, comment or blank), and how a name or a value is written so
// that it reads back as it was given. Only the engine's own files include it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qm {
namespace ini {

inline constexpr char kNewLine[] = "\r\n";
inline constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
inline constexpr char kUtf16LeBom[] = "\xFF\xFE";

// The blanks the profile functions trim around names and values; CR is among
// them so that a CRLF line reads as its LF twin, and Ctrl-Z (an old end-of-
// file mark) is ignored as they ignore it.
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a';
}

inline std::string_view Trim(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// The text of a line without its line end.
inline std::string_view LineContent(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// The end of the line that starts at `pos`, its line end included: LF,
// CR LF, or a CR alone.
inline size_t LineEnd(std::string_view text, size_t pos) {
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c > '\r' || (c != '\n' && c != '\r')) continue;
        if (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
        return pos + 1;
    }
    return text.size();
}

// The first line of a text, with its line end.
inline std::string_view FirstLine(std::string_view text) {
    return text.substr(0, LineEnd(text, 0));
}

inline bool EndsWithLineEnd(std::string_view text) {
    return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

enum class LineKind { Blank, Comment, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Blank;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // the raw value after '=', trimmed
    size_t valueStart = 0;   // where the value's blanks begin: just after '=' (npos: no '=')
};

ParsedLine ParseLine(std::string_view line);

// The value as a reader sees it: one pair of matching quotes removed, and
// cut at a NUL byte, which ends the text for every caller.
std::string_view ReadableValue(std::string_view value);

// The decimal number a text begins with: leading blanks, one optional sign,
// then digits. Numbers beyond the range of int stop at its ends.
int LeadingDecimal(std::string_view text);

// Whether a key name is one that a file of ours can hold: not empty, not
// starting with '[' (a broken section line), and without control
// characters other than a tab (binary junk).
bool IsPlaceableKeyName(std::string_view name);

// Whether a name can be written without forging another line: a key with
// '=' would split, one starting with '[' could read as a section, one
// starting with ';' as a comment; a line break or NUL would end the line.
bool IsWritableName(std::string_view name, bool isKey);

// A value that a read would change (blanks or a quote at either end, which
// the read trims or takes as a pair) goes inside double quotes; the read
// removes exactly that pair again.
std::string QuotedIfNeeded(std::string value);

// A value or name is one line of text: a line break inside it would split the
// line and could forge keys or sections, and a NUL would end it early.
std::string OneLine(std::string_view text);

}  // namespace ini
}  // namespace qm
