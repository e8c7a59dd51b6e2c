// The profile engine. The loaded text is kept as it came and never copied:
// the file is a chain of pieces (runs of whole lines) in the loaded text or
// in the text written since, and two slot indexes find a section by its
// name and a key by its section and name. A lookup is one probe; a write
// adds one line and splits at most two pieces; only written lines are ever
// built anew. The memory beyond the text is 16 bytes per indexed line and
// 8 to 16 for its slot.
#include "core/IniFile.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <utility>

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

// The end of the line that starts at `pos`, its line end included: LF,
// CR LF, or a CR alone.
size_t LineEnd(std::string_view text, size_t pos) {
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c > '\r' || (c != '\n' && c != '\r')) continue;
        if (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
        return pos + 1;
    }
    return text.size();
}

// The first line of a text, with its line end.
std::string_view FirstLine(std::string_view text) { return text.substr(0, LineEnd(text, 0)); }

bool EndsWithLineEnd(std::string_view text) {
    return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

// Whether a key name is one that a file of ours can hold: not empty, not
// starting with '[' (a broken section line), and without control
// characters other than a tab (binary junk).
bool IsPlaceableKeyName(std::string_view name) {
    if (name.empty() || name.front() == '[') return false;
    for (char c : name) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F) return false;
    }
    return true;
}

// A UTF-16LE text from its bytes (after the byte-order mark); a last odd
// byte is no character.
std::u16string Utf16FromBytes(std::string_view bytes) {
    std::u16string wide(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < wide.size(); ++i) {
        wide[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                        (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return wide;
}

const char kUtf8Bom[] = "\xEF\xBB\xBF";
const char kUtf16LeBom[] = "\xFF\xFE";

}  // namespace

void CIniFile::Clear() {
    m_text.clear();
    m_written.clear();
    m_pieces.assign(1, Piece{});
    m_lastPiece = 0;
    m_sections.clear();
    m_sectionSlots.Clear();
    m_keySlots.Clear();
    m_nUnplacedLines = 0;
    m_nFirstUnplacedLine = 0;
    m_bHasContent = false;
}

std::string_view CIniFile::PieceText(const Piece& piece) const {
    const std::string& buffer = (piece.begin & kWritten) ? m_written : m_text;
    return std::string_view(buffer).substr(piece.begin & ~kWritten, piece.length);
}

uint32_t CIniFile::NewPiece(uint32_t begin, uint32_t length, uint32_t after) {
    const uint32_t number = static_cast<uint32_t>(m_pieces.size());
    Piece piece;
    piece.begin = begin;
    piece.length = length;
    piece.next = m_pieces[after].next;
    m_pieces.push_back(piece);
    m_pieces[after].next = number;
    if (m_lastPiece == after) m_lastPiece = number;
    return number;
}

// WriteText made sure that the written text stays within kMostText.
uint32_t CIniFile::NewWrittenPiece(std::string_view text, uint32_t after) {
    const uint32_t begin = static_cast<uint32_t>(m_written.size());
    m_written.append(text);
    return NewPiece(begin | kWritten, static_cast<uint32_t>(text.size()), after);
}

// Cuts a piece of `section` at `offset`: the bytes after it become a piece
// of their own right after it, and the place of the section's new keys
// follows them when it lay there. (A piece holds the new keys' place of no
// other section than its own.)
void CIniFile::Split(uint32_t piece, uint32_t offset, uint32_t section) {
    const Piece original = m_pieces[piece];
    if (offset >= original.length) return;
    m_pieces[piece].length = offset;
    const uint32_t rest = NewPiece(original.begin + offset, original.length - offset, piece);
    Section& owner = m_sections[section];
    if (owner.last == piece && owner.entryEnd > offset) {
        owner.last = rest;
        owner.entryEnd -= offset;
    }
}

// A last line without its line end gets one before anything follows it.
void CIniFile::EnsureLineEndAfter(uint32_t& piece) {
    const std::string_view text = PieceText(piece);
    if (!text.empty() && !EndsWithLineEnd(text)) piece = NewWrittenPiece(kNewLine, piece);
}

uint64_t CIniFile::SectionHash(uint32_t section) const {
    return FoldedNameHash(ParseLine(FirstLine(PieceText(m_sections[section].header))).name, 0);
}

uint64_t CIniFile::KeyHash(uint32_t piece) const {
    return FoldedNameHash(ParseLine(FirstLine(PieceText(piece))).name,
                          uint64_t{m_pieces[piece].section} + 1);
}

uint32_t CIniFile::FindSection(std::string_view name) const {
    const std::string_view wanted = Trim(name);
    return m_sectionSlots.Find(FoldedNameHash(wanted, 0), [&](uint32_t section) {
        return EqualNoCase(ParseLine(FirstLine(PieceText(m_sections[section].header))).name,
                           wanted);
    });
}

uint32_t CIniFile::FindKey(uint32_t section, std::string_view key) const {
    const std::string_view wanted = Trim(key);
    return m_keySlots.Find(FoldedNameHash(wanted, uint64_t{section} + 1), [&](uint32_t piece) {
        return m_pieces[piece].section == section &&
               EqualNoCase(ParseLine(FirstLine(PieceText(piece))).name, wanted);
    });
}

void CIniFile::IndexSection(uint32_t section) {
    m_sectionSlots.Add(SectionHash(section), section,
                       [this](uint32_t other) { return SectionHash(other); });
}

void CIniFile::IndexKey(uint32_t piece) {
    m_keySlots.Add(KeyHash(piece), piece, [this](uint32_t other) { return KeyHash(other); });
}

void CIniFile::Parse() {
    // Nothing is reserved by the count of lines: blank lines, comments and
    // repeated keys make no piece, and a file of them must not cost more.
    bool indexing = false;  // inside the first occurrence of a section
    size_t lineNumber = 0;
    for (size_t pos = 0; pos < m_text.size();) {
        const size_t end = LineEnd(m_text, pos);
        AddLine(std::string_view(m_text).substr(pos, end - pos), static_cast<uint32_t>(pos),
                ++lineNumber, indexing);
        pos = end;
    }
}

// The text is within kMostText, so that every offset and length fits.
void CIniFile::AddLine(std::string_view line, uint32_t begin, size_t lineNumber, bool& indexing) {
    const ParsedLine parsed = ParseLine(line);
    if (parsed.kind != LineKind::Blank) m_bHasContent = true;
    if (parsed.kind == LineKind::Key &&
        (m_sections.empty() || parsed.valueStart == std::string_view::npos ||
         !IsPlaceableKeyName(parsed.name))) {
        if (m_nUnplacedLines++ == 0) m_nFirstUnplacedLine = lineNumber;
    }
    // A file of more lines than the numbers can count keeps the rest unindexed.
    const bool room = m_pieces.size() < kNoPiece - 1;
    if (parsed.kind == LineKind::Section) {
        indexing = room && FindSection(parsed.name) == kNoPiece;
        if (indexing) {
            Section section;
            const uint32_t length = static_cast<uint32_t>(line.size());
            section.header = NewPiece(begin, length, m_lastPiece);
            section.last = section.header;
            section.entryEnd = length;
            m_sections.push_back(section);
            IndexSection(static_cast<uint32_t>(m_sections.size() - 1));
            return;
        }
    } else if (parsed.kind == LineKind::Key && indexing && room) {
        const uint32_t section = static_cast<uint32_t>(m_sections.size() - 1);
        if (FindKey(section, parsed.name) == kNoPiece) {
            const uint32_t length = static_cast<uint32_t>(line.size());
            const uint32_t piece = NewPiece(begin, length, m_lastPiece);
            m_pieces[piece].section = section;
            IndexKey(piece);
            m_sections.back().last = piece;
            m_sections.back().entryEnd = length;
            return;
        }
    }
    // Everything else rides along in the piece before it (the lines of a
    // piece follow each other in the loaded text). Inside the section, a new
    // key goes after the last line that is not blank (comments included).
    Piece& piece = m_pieces[m_lastPiece];
    if (piece.length == 0) piece.begin = begin;
    piece.length += static_cast<uint32_t>(line.size());
    if (indexing && parsed.kind != LineKind::Blank) {
        Section& section = m_sections.back();
        section.last = m_lastPiece;
        section.entryEnd = piece.length;
    }
}

std::string_view CIniFile::KeyLine(std::string_view section, std::string_view key) const {
    if (m_pieces.empty()) return std::string_view();
    const uint32_t found = FindSection(section);
    if (found == kNoPiece) return std::string_view();
    const uint32_t piece = FindKey(found, key);
    if (piece == kNoPiece) return std::string_view();
    return FirstLine(PieceText(piece));
}

void CIniFile::ReplaceValue(uint32_t piece, std::string_view value) {
    const std::string_view line = FirstLine(PieceText(piece));
    const std::string_view content = LineContent(line);
    const std::string_view lineEnd = line.substr(content.size());
    const ParsedLine parsed = ParseLine(line);
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

    // The key line alone is written anew; the lines after it stay where
    // they are, as a piece of their own.
    const uint32_t oldLength = static_cast<uint32_t>(line.size());
    Split(piece, oldLength, m_pieces[piece].section);
    const uint32_t begin = static_cast<uint32_t>(m_written.size());
    m_written += rebuilt;
    m_pieces[piece].begin = begin | kWritten;
    m_pieces[piece].length = static_cast<uint32_t>(rebuilt.size());
    Section& section = m_sections[m_pieces[piece].section];
    if (section.last == piece) section.entryEnd = m_pieces[piece].length;
}

void CIniFile::AppendKey(uint32_t section, std::string_view key, std::string_view value) {
    // The lines after the section's last entry (blank lines, comments, a
    // repeated section) stay behind the new key.
    uint32_t after = m_sections[section].last;
    Split(after, m_sections[section].entryEnd, section);
    EnsureLineEndAfter(after);
    std::string line;
    line.reserve(key.size() + value.size() + 3);
    line.append(key).append("=").append(value).append(kNewLine);
    const uint32_t piece = NewWrittenPiece(line, after);
    m_pieces[piece].section = section;
    IndexKey(piece);
    m_sections[section].last = piece;
    m_sections[section].entryEnd = m_pieces[piece].length;
}

uint32_t CIniFile::AppendSection(std::string_view name) {
    uint32_t after = m_lastPiece;
    EnsureLineEndAfter(after);
    Section section;
    section.header = NewWrittenPiece("[" + std::string(name) + "]" + kNewLine, after);
    section.last = section.header;
    section.entryEnd = m_pieces[section.header].length;
    m_sections.push_back(section);
    const uint32_t number = static_cast<uint32_t>(m_sections.size() - 1);
    IndexSection(number);
    return number;
}

CIniFile::CIniFile() { Clear(); }

bool CIniFile::Load(const std::string& path) {
    m_path = path;
    m_bUnreadable = false;
    m_encoding = Encoding::Plain;
    m_bLostCharacters = false;
    m_loadError = kErrorSuccess;
    Clear();
    if (path.empty()) {
        // No place to read from is no place to write to either.
        m_bUnreadable = true;
        m_loadResult = ReadResult::Failed;
        m_loadError = kErrorPathNotFound;
        return false;
    }
    IPlatform& platform = Platform();
    std::string bytes;
    m_loadResult = platform.ReadWholeFileWithReason(path, bytes, m_loadError);
    if (m_loadResult == ReadResult::Missing) {
        m_loadError = kErrorSuccess;
        return true;
    }
    if (m_loadResult == ReadResult::TooLarge) m_loadError = kErrorFileTooLarge;
    if (m_loadResult != ReadResult::Ok) {
        m_bUnreadable = true;
        return false;
    }
    if (bytes.compare(0, 2, kUtf16LeBom) == 0) {
        // As the Windows profile functions read it: as text of the system
        // code page.
        m_encoding = Encoding::Utf16LeWithBom;
        const std::u16string wide = Utf16FromBytes(std::string_view(bytes).substr(2));
        const bool oddByte = bytes.size() % 2 != 0;
        std::string().swap(bytes);
        m_bLostCharacters = !platform.Utf16ToSystemText(wide, m_text) || oddByte;
    } else {
        if (bytes.compare(0, 3, kUtf8Bom) == 0) {
            m_encoding = Encoding::Utf8WithBom;
            bytes.erase(0, 3);
        }
        m_text = std::move(bytes);
    }
    if (m_text.size() > kMostText) {  // not from a platform that keeps the limit
        Clear();
        m_bUnreadable = true;
        m_loadResult = ReadResult::TooLarge;
        m_loadError = kErrorFileTooLarge;
        return false;
    }
    Parse();
    return true;
}

void CIniFile::LoadText(std::string_view text) {
    m_bUnreadable = false;
    m_loadResult = ReadResult::Ok;
    m_loadError = kErrorSuccess;
    m_encoding = Encoding::Plain;
    m_bLostCharacters = false;
    Clear();
    if (text.size() > kMostText) {
        // More than the engine holds: nothing read, nothing to write back.
        m_bUnreadable = true;
        m_loadResult = ReadResult::TooLarge;
        m_loadError = kErrorFileTooLarge;
        return;
    }
    m_text.assign(text);
    Parse();
}

std::string CIniFile::ReadText(std::string_view section, std::string_view key,
                               size_t capacity) const {
    if (capacity == 0) return std::string();
    const std::string_view line = KeyLine(section, key);
    if (line.empty()) return std::string();
    std::string_view value = ReadableValue(ParseLine(line).value);
    return std::string(value.substr(0, capacity - 1));
}

int CIniFile::ReadInt(std::string_view section, std::string_view key, int defaultValue) const {
    const std::string_view line = KeyLine(section, key);
    if (line.empty()) return defaultValue;
    std::string_view value = ReadableValue(ParseLine(line).value);
    // An empty value reads as the default, as GetPrivateProfileIntA gives it.
    if (value.empty()) return defaultValue;
    return LeadingDecimal(value);
}

std::vector<std::string> CIniFile::KeyNames(std::string_view section) const {
    std::vector<std::string> names;
    if (m_pieces.empty()) return names;
    const uint32_t found = FindSection(section);
    if (found == kNoPiece) return names;
    // Every key line that reads of the section starts a piece of its own.
    for (uint32_t piece = 0; piece != kNoPiece; piece = m_pieces[piece].next) {
        if (m_pieces[piece].section == found) {
            names.emplace_back(ParseLine(FirstLine(PieceText(piece))).name);
        }
    }
    return names;
}

void CIniFile::ForEachValue(
    std::string_view section,
    const std::function<void(std::string_view key, std::string_view value)>& visit) const {
    if (m_pieces.empty()) return;
    const uint32_t found = FindSection(section);
    if (found == kNoPiece) return;
    for (uint32_t piece = 0; piece != kNoPiece; piece = m_pieces[piece].next) {
        if (m_pieces[piece].section != found) continue;
        const ParsedLine parsed = ParseLine(FirstLine(PieceText(piece)));
        visit(parsed.name, ReadableValue(parsed.value));
    }
}

bool CIniFile::WriteText(std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view sectionName = Trim(section);
    const std::string_view keyName = Trim(key);
    if (!IsWritableName(sectionName, false) || !IsWritableName(keyName, true)) return false;
    // A moved-from file starts again from nothing.
    if (m_pieces.empty()) Clear();
    const std::string line = QuotedIfNeeded(OneLine(value));
    // No more numbers for pieces, or no more room in the written text (the
    // new lines: a line end, the section line, the key line): nothing is
    // written, as a file that large could never be read again anyway.
    const size_t most = sectionName.size() + keyName.size() + line.size() + 16;
    if (m_pieces.size() >= kNoPiece - 4 || m_written.size() + most > kMostText) return false;

    uint32_t found = FindSection(sectionName);
    if (found == kNoPiece) found = AppendSection(sectionName);
    const uint32_t piece = FindKey(found, keyName);
    if (piece == kNoPiece) {
        AppendKey(found, keyName, line);
    } else {
        ReplaceValue(piece, line);
    }
    return true;
}

bool CIniFile::Save() { return SaveAs(m_path); }

// The bytes to save: the text in the encoding the file had.
bool CIniFile::EncodeForSave(std::string& bytes) {
    switch (m_encoding) {
        case Encoding::Plain:
            bytes = Text();
            break;
        case Encoding::Utf8WithBom:
            bytes = Text();
            bytes.insert(0, kUtf8Bom);
            break;
        case Encoding::Utf16LeWithBom: {
            std::u16string wide;
            if (!Platform().SystemTextToUtf16(Text(), wide)) {
                m_lastSaveError = kErrorNoUnicodeTranslation;
                return false;
            }
            bytes.reserve(2 + 2 * wide.size());
            bytes = kUtf16LeBom;
            for (char16_t unit : wide) {
                bytes += static_cast<char>(unit & 0xFF);
                bytes += static_cast<char>(unit >> 8);
            }
            break;
        }
    }
    if (bytes.size() > kMaxWholeFileSize) {
        // It could never be read again.
        m_lastSaveError = kErrorFileTooLarge;
        return false;
    }
    return true;
}

bool CIniFile::SaveAs(const std::string& path) {
    // Contents that could not be read must not replace the file.
    if (m_bUnreadable || path.empty()) {
        m_lastSaveError = m_loadError != kErrorSuccess ? m_loadError : kErrorPathNotFound;
        return false;
    }
    // Characters that were read as '?' would be written as '?'.
    if (m_bLostCharacters) {
        m_lastSaveError = kErrorNoUnicodeTranslation;
        return false;
    }
    IPlatform& platform = Platform();
    // A symbolic link stays a link: its target gets the new contents.
    const std::string target = platform.WriteTarget(path);
    // Windows refuses to replace a read-only file; its attribute is the
    // operator's, so it is told and left as it is.
    if (platform.IsReadOnly(target)) {
        m_lastSaveError = kErrorFileReadOnly;
        return false;
    }
    std::string bytes;
    if (!EncodeForSave(bytes)) return false;
    const FreshFileResult temporary = WriteFreshFile(target + ".tmp", bytes);
    m_lastSaveError = temporary.error;
    if (temporary.path.empty()) return false;
    // The new file has the old one's protection before it takes its place.
    m_lastSaveError = platform.CopyProtection(target, temporary.path);
    if (m_lastSaveError == kErrorSuccess) {
        m_lastSaveError = platform.MoveReplace(temporary.path, target);
    }
    if (m_lastSaveError != kErrorSuccess) {
        platform.RemoveFile(temporary.path);  // ours: created new above
        return false;
    }
    return true;
}

std::string CIniFile::Text() const {
    size_t length = 0;
    for (uint32_t piece = m_pieces.empty() ? kNoPiece : 0; piece != kNoPiece;
         piece = m_pieces[piece].next) {
        length += static_cast<size_t>(m_pieces[piece].length);
    }
    std::string text;
    text.reserve(length);
    for (uint32_t piece = m_pieces.empty() ? kNoPiece : 0; piece != kNoPiece;
         piece = m_pieces[piece].next) {
        text += PieceText(piece);
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
