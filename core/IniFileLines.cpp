#include "core/IniFileLines.h"

#include <climits>

namespace qm {
namespace ini {

ParsedLine ParseLine(std::string_view line) {
    ParsedLine parsed;
    std::string_view content = LineContent(line);
    size_t start = 0;
    while (start < content.size() && IsBlank(content[start])) ++start;
    if (start == content.size()) return parsed;
    if (content[start] == ';') {
        parsed.kind = LineKind::Comment;
        return parsed;
    }
    if (content[start] == '[') {
        // The name runs to the last ']' of the line; without one this is
        // no section line but a key line of the section we are in.
        size_t close = content.rfind(']');
        if (close != std::string_view::npos && close > start) {
            parsed.kind = LineKind::Section;
            parsed.name = Trim(content.substr(start + 1, close - start - 1));
            return parsed;
        }
    }
    parsed.kind = LineKind::Key;
    size_t equals = content.find('=', start);
    if (equals == std::string_view::npos) {
        // A line without '=' is a key with an empty value.
        parsed.name = Trim(content.substr(start));
        parsed.valueStart = std::string_view::npos;
        return parsed;
    }
    parsed.name = Trim(content.substr(start, equals - start));
    parsed.valueStart = equals + 1;
    parsed.value = Trim(content.substr(equals + 1));
    return parsed;
}

std::string_view ReadableValue(std::string_view value) {
    size_t nul = value.find('\0');
    if (nul != std::string_view::npos) value = value.substr(0, nul);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

int LeadingDecimal(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) <= ' ') ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        magnitude = magnitude * 10 + (text[pos] - '0');
        if (magnitude > limit) {
            magnitude = limit;
            break;
        }
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

bool IsPlaceableKeyName(std::string_view name) {
    if (name.empty() || name.front() == '[') return false;
    for (char c : name) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F) return false;
    }
    return true;
}

bool IsWritableName(std::string_view name, bool isKey) {
    if (name.empty() || name.find_first_of(std::string_view("\r\n\0", 3)) != name.npos) {
        return false;
    }
    return !isKey || (name.find('=') == name.npos && name.front() != '[' && name.front() != ';');
}

std::string QuotedIfNeeded(std::string value) {
    if (value.empty()) return value;
    const auto changesOnRead = [](char c) { return IsBlank(c) || c == '"' || c == '\''; };
    if (changesOnRead(value.front()) || changesOnRead(value.back())) {
        value.insert(value.begin(), '"');
        value.push_back('"');
    }
    return value;
}

std::string OneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    }
    return line;
}

}  // namespace ini
}  // namespace qm
