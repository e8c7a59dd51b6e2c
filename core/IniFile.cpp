// The profile engine. The file is held as blocks, one per section (the first
// block holds the lines before any section), each split into pieces: a piece
// starts with a key line that the index points to and carries the lines up to
// the next indexed key line unparsed (blank lines, comments, repeated keys,
// repeated sections). A lookup is one hash probe; a write touches one piece;
// only the lines of a piece that is written are ever rebuilt.
#include "core/IniFile.h"

#include <algorithm>
#include <climits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/FreshFile.h"
#include "platform/AsciiCase.h"
#include "platform/Platform.h"

namespace qm {

namespace {

const char kNewLine[] = "\r\n";

// The blanks the profile functions trim around names and values; CR is among
// them so that a CRLF line reads as its LF twin, and Ctrl-Z (an old end-of-
// file mark) is ignored as they ignore it.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view Trim(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// Names match without regard to ASCII case: the index keeps them lower-cased.
std::string FoldedName(std::string_view name) { return AsciiLowerCopy(Trim(name)); }

// Whether a name can be written without forging another line: a key with
// '=' would split, one starting with '[' could read as a section, one
// starting with ';' as a comment; a line break or NUL would end the line.
bool IsWritableName(std::string_view name, bool isKey) {
    if (name.empty() || name.find_first_of(std::string_view("\r\n\0", 3)) != name.npos) {
        return false;
    }
    return !isKey || (name.find('=') == name.npos && name.front() != '[' && name.front() != ';');
}

// A value that a read would change (blanks or a quote at either end, which
// the read trims or takes as a pair) goes inside double quotes; the read
// removes exactly that pair again.
std::string QuotedIfNeeded(std::string value) {
    if (value.empty()) return value;
    const auto changesOnRead = [](char c) { return IsBlank(c) || c == '"' || c == '\''; };
    if (changesOnRead(value.front()) || changesOnRead(value.back())) {
        value.insert(value.begin(), '"');
        value.push_back('"');
    }
    return value;
}

// A value or name is one line of text: a line break inside it would split the
// line and could forge keys or sections, and a NUL would end it early.
std::string OneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    }
    return line;
}

// The text of a line without its line end.
std::string_view LineContent(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

enum class LineKind { Blank, Comment, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Blank;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // the raw value after '=', trimmed
    size_t valueStart = 0;   // where the value's blanks begin: just after '=' (npos: no '=')
};

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

// The value as a reader sees it: one pair of matching quotes removed, and
// cut at a NUL byte, which ends the text for every caller.
std::string_view ReadableValue(std::string_view value) {
    size_t nul = value.find('\0');
    if (nul != std::string_view::npos) value = value.substr(0, nul);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

// The decimal number a text begins with: leading blanks, one optional sign,
// then digits. Numbers beyond the range of int stop at its ends.
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

// The first line of a piece, with its line end.
std::string_view FirstLine(const std::string& text) {
    size_t end = text.find('\n');
    return std::string_view(text).substr(0, end == std::string::npos ? text.size() : end + 1);
}

// Ends the piece's text with a line end, keeping its entry end with it.
template <class PieceT>
void EnsureLineEnd(PieceT& piece) {
    if (piece.text.empty() || piece.text.back() == '\n') return;
    bool entryAtEnd = piece.entryEnd == piece.text.size();
    piece.text += kNewLine;
    if (entryAtEnd) piece.entryEnd = piece.text.size();
}

}  // namespace

void CIniFile::Clear() {
    m_blocks.assign(1, Block{});
    m_blocks[0].pieces.emplace_back();
    m_sections.clear();
}

void CIniFile::Parse(std::string_view text) {
    Clear();
    bool indexing = false;  // inside the first occurrence of a section
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        end = end == std::string_view::npos ? text.size() : end + 1;
        std::string_view line = text.substr(pos, end - pos);
        pos = end;
        AddLine(line, indexing);
    }
}

void CIniFile::AddLine(std::string_view line, bool& indexing) {
    ParsedLine parsed = ParseLine(line);
    if (parsed.kind == LineKind::Section) {
        std::string name = FoldedName(parsed.name);
        indexing = m_sections.find(name) == m_sections.end();
        if (indexing) {
            m_sections.emplace(std::move(name), m_blocks.size());
            m_blocks.emplace_back();
            m_blocks.back().pieces.push_back(Piece{std::string(line), line.size()});
            return;
        }
    } else if (parsed.kind == LineKind::Key && indexing) {
        Block& block = m_blocks.back();
        std::string name = FoldedName(parsed.name);
        if (block.keys.find(name) == block.keys.end()) {
            block.keys.emplace(std::move(name), block.pieces.size());
            block.pieces.push_back(Piece{std::string(line), line.size()});
            return;
        }
    }
    // Everything else rides along in the piece before it. Inside the
    // section, a new key goes after the last line that is not blank
    // (comments included), as the Windows profile functions place it.
    Piece& piece = m_blocks.back().pieces.back();
    piece.text.append(line);
    if (indexing && parsed.kind != LineKind::Blank) piece.entryEnd = piece.text.size();
}

// The key line of a section's key, or null.
const std::string* CIniFile::FindKeyLine(std::string_view section, std::string_view key) const {
    auto block = m_sections.find(FoldedName(section));
    if (block == m_sections.end()) return nullptr;
    const Block& found = m_blocks[block->second];
    auto piece = found.keys.find(FoldedName(key));
    if (piece == found.keys.end()) return nullptr;
    return &found.pieces[piece->second].text;
}

void CIniFile::ReplaceValue(Piece& piece, std::string_view value) {
    std::string_view line = FirstLine(piece.text);
    std::string_view content = LineContent(line);
    std::string_view lineEnd = line.substr(content.size());
    ParsedLine parsed = ParseLine(line);
    std::string rebuilt;
    if (parsed.valueStart == std::string_view::npos) {
        size_t nameEnd = content.size();
        while (nameEnd > 0 && IsBlank(content[nameEnd - 1])) --nameEnd;
        rebuilt = std::string(content.substr(0, nameEnd));
        rebuilt += '=';
    } else {
        // Keep the name and the blanks after '=' as the file has them.
        size_t valueBegin = parsed.valueStart;
        while (valueBegin < content.size() && IsBlank(content[valueBegin])) ++valueBegin;
        rebuilt = std::string(content.substr(0, valueBegin));
    }
    rebuilt += value;
    // A last line without a line end gets one once it is written.
    rebuilt += lineEnd.empty() ? std::string_view(kNewLine) : lineEnd;
    size_t oldLength = line.size();
    piece.text.replace(0, oldLength, rebuilt);
    piece.entryEnd = piece.entryEnd + rebuilt.size() - oldLength;
}

void CIniFile::AppendKey(size_t blockIndex, std::string_view key, std::string_view value) {
    Block& block = m_blocks[blockIndex];
    Piece& last = block.pieces.back();
    // The lines after the section's last key (blank lines, comments, a
    // repeated section) stay behind the new key.
    std::string tail = last.text.substr(last.entryEnd);
    last.text.resize(last.entryEnd);
    EnsureLineEnd(last);
    Piece added;
    added.text.reserve(key.size() + value.size() + 3 + tail.size());
    added.text.append(key).append("=").append(value).append(kNewLine);
    added.entryEnd = added.text.size();
    added.text += tail;
    block.keys.emplace(FoldedName(key), block.pieces.size());
    block.pieces.push_back(std::move(added));
}

void CIniFile::AppendSection(std::string_view section) {
    EnsureLineEnd(m_blocks.back().pieces.back());
    m_sections.emplace(FoldedName(section), m_blocks.size());
    m_blocks.emplace_back();
    std::string header = "[" + std::string(section) + "]" + kNewLine;
    size_t headerLength = header.size();
    m_blocks.back().pieces.push_back(Piece{std::move(header), headerLength});
}

CIniFile::CIniFile() { Clear(); }

bool CIniFile::Load(const std::string& path) {
    m_path = path;
    m_bUnreadable = false;
    Clear();
    if (path.empty()) {
        // No place to read from is no place to write to either.
        m_bUnreadable = true;
        return false;
    }
    std::string contents;
    switch (Platform().ReadWholeFile(path, contents)) {
        case ReadResult::Ok:
            Parse(contents);
            return true;
        case ReadResult::Missing:
            return true;
        case ReadResult::Failed:
            break;
    }
    m_bUnreadable = true;
    return false;
}

void CIniFile::LoadText(std::string_view text) {
    m_bUnreadable = false;
    Parse(text);
}

std::string CIniFile::ReadText(std::string_view section, std::string_view key,
                               size_t capacity) const {
    if (capacity == 0) return std::string();
    const std::string* line = FindKeyLine(section, key);
    if (!line) return std::string();
    std::string_view value = ReadableValue(ParseLine(FirstLine(*line)).value);
    return std::string(value.substr(0, capacity - 1));
}

int CIniFile::ReadInt(std::string_view section, std::string_view key, int defaultValue) const {
    const std::string* line = FindKeyLine(section, key);
    if (!line) return defaultValue;
    std::string_view value = ReadableValue(ParseLine(FirstLine(*line)).value);
    // An empty value reads as the default, as GetPrivateProfileIntA gives it.
    if (value.empty()) return defaultValue;
    return LeadingDecimal(value);
}

std::vector<std::string> CIniFile::KeyNames(std::string_view section) const {
    std::vector<std::string> names;
    auto block = m_sections.find(FoldedName(section));
    if (block == m_sections.end()) return names;
    const Block& found = m_blocks[block->second];
    // The indexed pieces, in file order: each starts with its key line.
    std::vector<size_t> pieces;
    pieces.reserve(found.keys.size());
    for (const auto& key : found.keys) pieces.push_back(key.second);
    std::sort(pieces.begin(), pieces.end());
    names.reserve(pieces.size());
    for (size_t piece : pieces) {
        names.emplace_back(ParseLine(FirstLine(found.pieces[piece].text)).name);
    }
    return names;
}

bool CIniFile::WriteText(std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view sectionName = Trim(section);
    const std::string_view keyName = Trim(key);
    if (!IsWritableName(sectionName, false) || !IsWritableName(keyName, true)) return false;
    // A moved-from file starts again from nothing.
    if (m_blocks.empty()) Clear();
    const std::string line = QuotedIfNeeded(OneLine(value));

    auto block = m_sections.find(FoldedName(sectionName));
    if (block == m_sections.end()) {
        AppendSection(sectionName);
        AppendKey(m_blocks.size() - 1, keyName, line);
        return true;
    }
    Block& found = m_blocks[block->second];
    auto piece = found.keys.find(FoldedName(keyName));
    if (piece == found.keys.end()) {
        AppendKey(block->second, keyName, line);
        return true;
    }
    ReplaceValue(found.pieces[piece->second], line);
    return true;
}

bool CIniFile::Save() { return SaveAs(m_path); }

bool CIniFile::SaveAs(const std::string& path) {
    // Contents that could not be read must not replace the file.
    if (m_bUnreadable || path.empty()) {
        m_lastSaveError = kErrorAccessDenied;
        return false;
    }
    IPlatform& platform = Platform();
    const FreshFileResult temporary = WriteFreshFile(path + ".tmp", Text());
    m_lastSaveError = temporary.error;
    if (temporary.path.empty()) return false;
    m_lastSaveError = platform.MoveReplace(temporary.path, path);
    if (m_lastSaveError != kErrorSuccess) {
        platform.RemoveFile(temporary.path);  // ours: created new above
        return false;
    }
    return true;
}

std::string CIniFile::Text() const {
    size_t length = 0;
    for (const Block& block : m_blocks) {
        for (const Piece& piece : block.pieces) length += piece.text.size();
    }
    std::string text;
    text.reserve(length);
    for (const Block& block : m_blocks) {
        for (const Piece& piece : block.pieces) text += piece.text;
    }
    return text;
}

std::string ProfilePathIn(const std::string& windowsDirectory, const std::string& bareName) {
    if (windowsDirectory.empty()) return std::string();
    return windowsDirectory + ".\\" + bareName;
}

std::string ProfilePath(const char* bareName) {
    return ProfilePathIn(Platform().WindowsDirectory(), bareName);
}

}  // namespace qm
