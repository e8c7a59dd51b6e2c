// The profile engine, its reading: loading a file (in the encoding it has),
// taking it apart into pieces and indexing its sections and keys as they
// come, and the three reads. The loaded text is kept as it came and never
// copied; core/IniFileIndex.cpp holds the pieces and the index,
// core/IniFileWrite.cpp the writing and saving.
#include "core/IniFile.h"

#include <memory>
#include <utility>

#include "core/IniFileLines.h"
#include "platform/Platform.h"
#include "platform/Utf8.h"

namespace qm {

using namespace ini;

namespace {

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

}  // namespace

CIniFile::CIniFile() { Clear(); }

void CIniFile::Clear() {
    m_text.clear();
    m_written.clear();
    m_convertedValues.clear();
    m_pieces.assign(1, Piece{});
    m_lastPiece = 0;
    m_sections.clear();
    m_sectionSlots.Clear();
    m_keySlots.Clear();
    m_nUnplacedLines = 0;
    m_nFirstUnplacedLine = 0;
    m_bHasContent = false;
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

bool CIniFile::Load(const std::string& path) {
    m_path = path;
    m_bUnreadable = false;
    m_encoding = Encoding::Plain;
    m_bLostCharacters = false;
    m_bBecameUnicode = false;
    m_bCannotBecomeUnicode = false;
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
        m_encoding = Encoding::Utf16LeWithBom;
        const std::u16string wide = Utf16FromBytes(std::string_view(bytes).substr(2));
        m_bLostCharacters = bytes.size() % 2 != 0;
        std::string().swap(bytes);
        m_text = Utf16ToUtf8(wide);
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

void CIniFile::LoadText(std::string_view text, Encoding encoding) {
    m_bUnreadable = false;
    m_loadResult = ReadResult::Ok;
    m_loadError = kErrorSuccess;
    m_encoding = encoding;
    m_bLostCharacters = false;
    m_bBecameUnicode = false;
    m_bCannotBecomeUnicode = false;
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

std::string_view CIniFile::KeyLine(std::string_view section, std::string_view key) const {
    if (m_pieces.empty()) return std::string_view();
    const uint32_t found = FindSection(section);
    if (found == kNoPiece) return std::string_view();
    const uint32_t piece = FindKey(found, key);
    if (piece == kNoPiece) return std::string_view();
    return FirstLine(PieceText(piece));
}

// A value of the file as UTF-8: a plain file's bytes are text of the ANSI
// code page (what is no text of it reads as U+FFFD).
std::string CIniFile::FromFileText(std::string_view value) const {
    if (m_encoding != Encoding::Plain || IsAscii(value)) return std::string(value);
    std::string text;
    Platform().AnsiToUtf8(value, text);
    return text;
}

std::string CIniFile::ReadText(std::string_view section, std::string_view key,
                               size_t capacity) const {
    if (capacity == 0) return std::string();
    const std::string_view line = KeyLine(section, key);
    if (line.empty()) return std::string();
    const std::string value = FromFileText(ReadableValue(ParseLine(line).value));
    return std::string(FirstCharacters(value, capacity - 1));
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
        const std::string_view value = ReadableValue(parsed.value);
        if (m_encoding == Encoding::Plain && !IsAscii(value)) {
            m_convertedValues.push_back(FromFileText(value));
            visit(parsed.name, m_convertedValues.back());
        } else {
            visit(parsed.name, value);
        }
    }
}

std::string ProfilePathIn(const std::string& windowsDirectory, const std::string& bareName) {
    if (windowsDirectory.empty()) return std::string();
    return windowsDirectory + ".\\" + bareName;
}

std::string ProfilePath(const char* bareName) {
    return ProfilePathIn(Platform().WindowsDirectory(), bareName);
}

}  // namespace qm
