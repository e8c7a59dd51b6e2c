// The profile engine, its writing and saving: a value replaced in its line,
// a new key after its section's last entry, a new section at the end, and
// the save through a fresh temporary file in the encoding the file had.
#include "core/IniFile.h"

#include "core/FreshFile.h"
#include "core/IniFileLines.h"
#include "platform/Platform.h"

namespace qm {

using namespace ini;

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

}  // namespace qm
