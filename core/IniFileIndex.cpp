// The profile engine, its pieces and index. The file is a chain of pieces
// (runs of whole lines) in the loaded text or in the text written since, and
// two slot indexes find a section by its name and a key by its section and
// name. A lookup is one probe; a write adds one line and splits at most two
// pieces; only written lines are ever built anew. The memory beyond the text
// is 16 bytes per indexed line and 8 to 16 for its slot.
#include "core/IniFile.h"

#include "core/IniFileLines.h"
#include "platform/AsciiCase.h"

namespace qm {

using namespace ini;

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

}  // namespace qm
