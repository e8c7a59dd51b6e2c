// The profile engine, its writing and saving: a value replaced in its line,
// a new key after its section's last entry, a new section at the end, and
// the save through a fresh temporary file in the encoding the file had.
#include "core/IniFile.h"

#include "core/FreshFile.h"
#include "core/IniFileLines.h"
#include "platform/Platform.h"
#include "platform/Utf8.h"

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

// A plain file's text is its bytes of the ANSI code page: what the code
// page cannot spell makes the file Unicode first (false when it cannot).
bool CIniFile::ToFileText(std::string_view text, std::string& fileText) {
    if (m_encoding != Encoding::Plain || IsAscii(text)) {
        fileText.assign(text);
        return true;
    }
    if (Platform().Utf8ToAnsi(text, fileText)) return true;
    if (!BecomeUnicode()) return false;
    fileText.assign(text);
    return true;
}

// The plain file as UTF-16LE, held as UTF-8 from now on: only when every
// byte of it is text of the code page that comes back as it was, so that
// no line changes but the ones written.
bool CIniFile::BecomeUnicode() {
    const std::string bytes = Text();
    std::string text;
    std::string back;
    IPlatform& platform = Platform();
    if (!platform.AnsiToUtf8(bytes, text) || !platform.Utf8ToAnsi(text, back) || back != bytes ||
        text.size() > kMostText) {
        m_bCannotBecomeUnicode = true;
        return false;
    }
    Clear();
    m_text = std::move(text);
    m_encoding = Encoding::Utf16LeWithBom;
    m_bBecameUnicode = true;
    Parse();
    return true;
}

bool CIniFile::WriteText(std::string_view section, std::string_view key, std::string_view value) {
    if (!IsWritableName(Trim(section), false) || !IsWritableName(Trim(key), true)) return false;
    // A moved-from file starts again from nothing.
    if (m_pieces.empty()) Clear();
    // A value written back as it reads keeps the bytes it has: what the code
    // page makes of bytes that are no text of it would not come back.
    if (m_encoding == Encoding::Plain && !IsAscii(value)) {
        const std::string_view line = KeyLine(Trim(section), Trim(key));
        if (!line.empty() && FromFileText(ReadableValue(ParseLine(line).value)) == value) {
            return true;
        }
    }
    std::string sectionText;
    std::string keyText;
    std::string line;
    if (!ToFileText(Trim(section), sectionText) || !ToFileText(Trim(key), keyText) ||
        !ToFileText(QuotedIfNeeded(OneLine(value)), line)) {
        return false;
    }
    // A file that became Unicode for the value holds the names as they are.
    if (m_encoding != Encoding::Plain) {
        sectionText = Trim(section);
        keyText = Trim(key);
    }
    const std::string_view sectionName = sectionText;
    const std::string_view keyName = keyText;
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
            if (!Utf8ToUtf16(Text(), wide)) {
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

bool CIniFile::FileBytes(std::string& bytes) {
    // Half a character read, or a value that the file could not take,
    // would be written changed or not at all.
    if (m_bLostCharacters || m_bCannotBecomeUnicode) {
        m_lastSaveError = kErrorNoUnicodeTranslation;
        return false;
    }
    m_lastSaveError = kErrorSuccess;
    return EncodeForSave(bytes);
}

bool CIniFile::SaveAs(const std::string& path) {
    // Contents that could not be read must not replace the file.
    if (m_bUnreadable || path.empty()) {
        m_lastSaveError = m_loadError != kErrorSuccess ? m_loadError : kErrorPathNotFound;
        return false;
    }
    std::string bytes;
    if (!FileBytes(bytes)) return false;
    IPlatform& platform = Platform();
    // A symbolic link stays a link: its target gets the new contents.
    const std::string target = platform.WriteTarget(path);
    // Windows refuses to replace a read-only file; its attribute is the
    // operator's, so it is told and left as it is.
    if (platform.IsReadOnly(target)) {
        m_lastSaveError = kErrorFileReadOnly;
        return false;
    }
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
