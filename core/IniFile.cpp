// The profile engine. The file is held as blocks, one per section (the first
// block holds the lines before any section), each split into pieces: a piece
// starts with a key line that the index points to and carries the lines up to
// the next indexed key line unparsed (blank lines, comments, repeated keys,
// repeated sections). A lookup is one hash probe; a write touches one piece;
// only the lines of a piece that is written are ever rebuilt.
#include "core/IniFile.h"

#include <climits>
#include <unordered_map>
#include <utility>
#include <vector>

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
std::string FoldedName(std::string_view name) {
    std::string folded(Trim(name));
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
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

struct Piece {
    std::string text;  // whole lines with their line ends
    // Just past the last key line (or the section line) in the piece: where
    // a new key of the section goes when this is the section's last piece.
    size_t entryEnd = 0;
};

struct Block {
    std::vector<Piece> pieces;                     // pieces[0] starts with the section line
    std::unordered_map<std::string, size_t> keys;  // folded key name -> piece
};

}  // namespace

struct CIniFile::Impl {
    std::string path;
    bool unreadable = false;
    std::vector<Block> blocks;  // blocks[0]: the lines before the first section
    std::unordered_map<std::string, size_t> sections;  // folded section name -> block

    void Clear() {
        blocks.assign(1, Block{});
        blocks[0].pieces.emplace_back();
        sections.clear();
    }

    void Parse(std::string_view text) {
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

    void AddLine(std::string_view line, bool& indexing) {
        ParsedLine parsed = ParseLine(line);
        if (parsed.kind == LineKind::Section) {
            std::string name = FoldedName(parsed.name);
            indexing = sections.find(name) == sections.end();
            if (indexing) {
                sections.emplace(std::move(name), blocks.size());
                blocks.emplace_back();
                blocks.back().pieces.push_back(Piece{std::string(line), line.size()});
                return;
            }
        } else if (parsed.kind == LineKind::Key && indexing) {
            Block& block = blocks.back();
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
        Piece& piece = blocks.back().pieces.back();
        piece.text.append(line);
        if (indexing && parsed.kind != LineKind::Blank) piece.entryEnd = piece.text.size();
    }

    // The key line of a section's key, or null.
    const std::string* FindKeyLine(std::string_view section, std::string_view key) const {
        auto block = sections.find(FoldedName(section));
        if (block == sections.end()) return nullptr;
        const Block& found = blocks[block->second];
        auto piece = found.keys.find(FoldedName(key));
        if (piece == found.keys.end()) return nullptr;
        return &found.pieces[piece->second].text;
    }

    static std::string_view FirstLine(const std::string& text) {
        size_t end = text.find('\n');
        return std::string_view(text).substr(0, end == std::string::npos ? text.size() : end + 1);
    }

    static void EnsureLineEnd(Piece& piece) {
        if (piece.text.empty() || piece.text.back() == '\n') return;
        bool entryAtEnd = piece.entryEnd == piece.text.size();
        piece.text += kNewLine;
        if (entryAtEnd) piece.entryEnd = piece.text.size();
    }

    void ReplaceValue(Piece& piece, std::string_view value) {
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

    void AppendKey(size_t blockIndex, std::string_view key, std::string_view value) {
        Block& block = blocks[blockIndex];
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

    void AppendSection(std::string_view section) {
        EnsureLineEnd(blocks.back().pieces.back());
        sections.emplace(FoldedName(section), blocks.size());
        blocks.emplace_back();
        std::string header = "[" + std::string(section) + "]" + kNewLine;
        size_t headerLength = header.size();
        blocks.back().pieces.push_back(Piece{std::move(header), headerLength});
    }
};

CIniFile::CIniFile() : m_impl(new Impl) { m_impl->Clear(); }

CIniFile::~CIniFile() { delete m_impl; }

CIniFile::CIniFile(CIniFile&& other) noexcept : m_impl(other.m_impl) { other.m_impl = nullptr; }

CIniFile& CIniFile::operator=(CIniFile&& other) noexcept {
    if (this != &other) {
        delete m_impl;
        m_impl = other.m_impl;
        other.m_impl = nullptr;
    }
    return *this;
}

bool CIniFile::Load(const std::string& path) {
    m_impl->path = path;
    m_impl->unreadable = false;
    m_impl->Clear();
    if (path.empty()) {
        // No place to read from is no place to write to either.
        m_impl->unreadable = true;
        return false;
    }
    std::string contents;
    switch (Platform().ReadWholeFile(path, contents)) {
        case ReadResult::Ok:
            m_impl->Parse(contents);
            return true;
        case ReadResult::Missing:
            return true;
        case ReadResult::Failed:
            break;
    }
    m_impl->unreadable = true;
    return false;
}

void CIniFile::LoadText(std::string text) {
    m_impl->unreadable = false;
    m_impl->Parse(text);
}

std::string CIniFile::ReadText(std::string_view section, std::string_view key,
                               size_t capacity) const {
    if (capacity == 0) return std::string();
    const std::string* line = m_impl->FindKeyLine(section, key);
    if (!line) return std::string();
    std::string_view value = ReadableValue(ParseLine(Impl::FirstLine(*line)).value);
    return std::string(value.substr(0, capacity - 1));
}

int CIniFile::ReadInt(std::string_view section, std::string_view key, int defaultValue) const {
    const std::string* line = m_impl->FindKeyLine(section, key);
    if (!line) return defaultValue;
    std::string_view value = ReadableValue(ParseLine(Impl::FirstLine(*line)).value);
    // An empty value reads as the default, as GetPrivateProfileIntA gives it.
    if (value.empty()) return defaultValue;
    return LeadingDecimal(value);
}

void CIniFile::WriteText(std::string_view section, std::string_view key, std::string_view value) {
    std::string sectionName = OneLine(Trim(section));
    std::string keyName = OneLine(Trim(key));
    if (sectionName.empty() || keyName.empty()) return;
    std::string line = OneLine(value);

    auto block = m_impl->sections.find(FoldedName(sectionName));
    if (block == m_impl->sections.end()) {
        m_impl->AppendSection(sectionName);
        m_impl->AppendKey(m_impl->blocks.size() - 1, keyName, line);
        return;
    }
    Block& found = m_impl->blocks[block->second];
    auto piece = found.keys.find(FoldedName(keyName));
    if (piece == found.keys.end()) {
        m_impl->AppendKey(block->second, keyName, line);
        return;
    }
    m_impl->ReplaceValue(found.pieces[piece->second], line);
}

bool CIniFile::Save() { return SaveAs(m_impl->path); }

bool CIniFile::SaveAs(const std::string& path) {
    // Contents that could not be read must not replace the file.
    if (m_impl->unreadable || path.empty()) return false;
    const std::string temporary = path + ".tmp";
    IPlatform& platform = Platform();
    if (!platform.WriteNewFile(temporary, Text()) || !platform.MoveReplace(temporary, path)) {
        platform.RemoveFile(temporary);
        return false;
    }
    return true;
}

std::string CIniFile::Text() const {
    size_t length = 0;
    for (const Block& block : m_impl->blocks) {
        for (const Piece& piece : block.pieces) length += piece.text.size();
    }
    std::string text;
    text.reserve(length);
    for (const Block& block : m_impl->blocks) {
        for (const Piece& piece : block.pieces) text += piece.text;
    }
    return text;
}

std::string ProfilePath(const char* bareName) {
    std::string directory = Platform().WindowsDirectory();
    if (directory.empty()) return std::string();
    if (directory.back() != '\\' && directory.back() != '/') directory += '\\';
    return directory + bareName;
}

}  // namespace qm
