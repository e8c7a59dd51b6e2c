// The profile engine: the three profile operations of the release list and
// the settings file (read text with a capacity, read an integer with a
// default, write text), on a file loaded once and saved once.
//
// It behaves as GetPrivateProfileStringA, GetPrivateProfileIntA and
// WritePrivateProfileStringA do for the cases hand-edited files rely on:
//  - section and key names match without regard to case (ASCII);
//  - blanks and tabs around names and values are trimmed;
//  - one pair of matching double or single quotes around a value is removed
//    on reading;
//  - lines starting with ';' are comments; a section line without ']' starts
//    no section; the first occurrence of a section and of a key wins;
//  - a text read yields at most capacity - 1 characters, and "" for a missing
//    file, section or key;
//  - an integer read yields the decimal number the value begins with (an
//    optional sign, then digits; 0 when there are none), and the default for
//    a missing file, section or key and for an empty value. A hexadecimal
//    "0x1" reads as 0; a number beyond the range of int reads as INT_MAX or
//    INT_MIN (the profile functions let it wrap around).
// Writing replaces a value in place (the key keeps its spelling), appends a
// new key after the last entry of its section and a new section at the end
// of the file, with CRLF line ends and no blank lines inserted; every other
// line stays byte for byte. A new key goes after the section's last line that
// is not blank (a comment counts), as the profile functions place it.
//
// A written value reads back as it was given (line breaks aside):
//  - a value that starts or ends with a blank, a tab or a quote character is
//    written inside a pair of double quotes, which the read removes again;
//  - line breaks and NULs in a value are written as blanks, so that a value
//    can never forge other keys or sections.
// A write never forges keys or sections through its names either: a section
// or key name that is empty, holds a line break or a NUL, or a key name that
// holds '=' or starts with '[' or ';', is refused and writes nothing.
//
// Lines end at LF, CR LF, or a CR alone. Lines that the engine cannot place
// are counted, so that callers can tell a file that only looks like a
// profile: a key line before the first section, a line that holds no '=',
// and a key whose name is empty, starts with '[' or holds a control
// character (binary junk). Such lines still read as the profile functions
// read them; they are only counted.
//
// Texts come and go in UTF-8, the core's text. A file keeps its encoding:
//  - plain text (no byte-order mark) is text of the ANSI code page, as the
//    profile functions read it. Its lines are kept as its bytes, and a
//    value is converted when it is read or written, so that every line that
//    is not written stays byte for byte, whatever the code page makes of it;
//  - UTF-8 with a byte-order mark is kept as it is (the mark skipped);
//  - UTF-16LE with a byte-order mark (which the profile functions read as
//    Unicode) is held as UTF-8 and written back as UTF-16; nothing is lost
//    (a lone surrogate travels in its three-byte form), but a last odd
//    byte, which is no character: that is told (LostCharacters) and never
//    written back in its changed form.
// A value that the ANSI code page cannot spell (a name such as "еvil.dll")
// is never written as '?': the plain file becomes UTF-16LE with a
// byte-order mark, which the profile functions read, and the engine says
// so (BecameUnicode). Only a file whose every byte is text of the code page
// that comes back the same can become Unicode; another one refuses the
// write, and its save then fails (kErrorNoUnicodeTranslation).
//
// A capacity counts characters, as it counted the bytes of a code page of
// one byte a character: a value is never cut inside a character.
//
// Save writes a new temporary file beside the original (created new, never
// over a file that exists) and replaces the original with it in one step, so
// a failed save never leaves a half-written file. It never replaces a
// read-only file (kErrorFileReadOnly), never one it could not read, and
// never writes a file larger than the engine would read again. The new file
// gets the old one's protection (IPlatform::CopyProtection) before it takes
// its place, and a symbolic link is written through to its target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/NameSlots.h"
#include "platform/Platform.h"

namespace qm {

class CIniFile {
public:
    // How the file's bytes hold its text; a save writes them the same way.
    enum class Encoding { Plain, Utf8WithBom, Utf16LeWithBom };

    CIniFile();

    // Loads the file at `path` through the platform. A missing file loads as
    // empty and returns true; a file that exists but cannot be read (or is
    // larger than kMaxWholeFileSize) returns false, and Save then refuses to
    // overwrite it.
    bool Load(const std::string& path);

    // Takes the file's text instead of a file (tests, tools): its bytes as a
    // plain file holds them, or, for the Unicode encodings, UTF-8.
    void LoadText(std::string_view text, Encoding encoding = Encoding::Plain);

    std::string ReadText(std::string_view section, std::string_view key, size_t capacity) const;
    int ReadInt(std::string_view section, std::string_view key, int defaultValue) const;
    // The names of a section's keys as the file spells them, each once (the
    // occurrence that reads win), in the order of the file.
    std::vector<std::string> KeyNames(std::string_view section) const;
    // Every key of a section that reads, with its value as ReadText gives
    // it whole, in the order of the file: one pass instead of a lookup per
    // key. The texts live until the file changes.
    void ForEachValue(
        std::string_view section,
        const std::function<void(std::string_view key, std::string_view value)>& visit) const;
    // False when the names are refused (see above), or when a plain file
    // that must become Unicode for the value cannot (see above): nothing was
    // written.
    bool WriteText(std::string_view section, std::string_view key, std::string_view value);

    // Writes the contents to the path given to Load (or to `path`).
    [[nodiscard]] bool Save();
    [[nodiscard]] bool SaveAs(const std::string& path);
    // The system's reason why the last save failed (0 after a good one;
    // LoadError() for contents that could not be read,
    // kErrorFileTooLarge for a file too large to write,
    // kErrorNoUnicodeTranslation for text that its encoding cannot keep,
    // kErrorFileReadOnly for a read-only target).
    uint32_t LastSaveError() const { return m_lastSaveError; }

    // The file's text as it is held: a plain file's bytes, UTF-8 otherwise
    // (without a byte-order mark).
    std::string Text() const;
    // The bytes a save writes, byte-order mark included; false (and
    // LastSaveError) when the text cannot be written so.
    [[nodiscard]] bool FileBytes(std::string& bytes);

    // How the last Load ended (Ok after LoadText), and the system's reason
    // when it failed (kErrorFileTooLarge for a file beyond the limit,
    // kErrorNotAFile for a directory or device, ...).
    ReadResult LoadResult() const { return m_loadResult; }
    uint32_t LoadError() const { return m_loadError; }
    Encoding FileEncoding() const { return m_encoding; }
    // A UTF-16 file that ends in half a character: a save is refused
    // (kErrorNoUnicodeTranslation).
    bool LostCharacters() const { return m_bLostCharacters; }
    // A write made this plain file UTF-16LE, for a value that the ANSI code
    // page cannot spell.
    bool BecameUnicode() const { return m_bBecameUnicode; }

    // The lines the engine cannot place (see above), and the number of the
    // first of them (from 1; 0 when there is none).
    size_t UnplacedLineCount() const { return m_nUnplacedLines; }
    size_t FirstUnplacedLine() const { return m_nFirstUnplacedLine; }
    // Sections of distinct names.
    size_t SectionCount() const { return m_sections.size(); }
    // Whether the file holds any line that is not blank.
    bool HasContent() const { return m_bHasContent; }

private:
    static constexpr uint32_t kNoPiece = CNameSlots::kNone;

    // A piece is a run of whole lines: an indexed line (a section line or a
    // key line of the first occurrence of its section) and the lines after
    // it up to the next indexed line, unparsed (blank lines, comments,
    // repeated keys and sections). Its bytes lie in the loaded text, or, once
    // written, in the written text: no line is ever copied on loading. 16
    // bytes, so that a list of millions of short lines costs little more
    // than its text.
    struct Piece {
        uint32_t begin = 0;  // kWritten set: in m_written
        uint32_t length = 0;
        uint32_t next = kNoPiece;     // the piece after it in the file
        uint32_t section = kNoPiece;  // for a key line: its section
    };
    struct Section {
        uint32_t header = kNoPiece;  // the piece of its (first) section line
        // Where a new key of the section goes: just past its last line that
        // is not blank (a comment counts), as the profile functions place it.
        uint32_t last = kNoPiece;
        uint32_t entryEnd = 0;  // within `last`
    };
    static constexpr uint32_t kWritten = uint32_t{1} << 31;
    // The most either text may hold, so that offsets fit 31 bits: far above
    // the largest file read (kMaxWholeFileSize).
    static constexpr size_t kMostText = kWritten - 1;

    void Clear();
    void Parse();
    void AddLine(std::string_view line, uint32_t begin, size_t lineNumber, bool& indexing);
    std::string_view PieceText(const Piece& piece) const;
    std::string_view PieceText(uint32_t piece) const { return PieceText(m_pieces[piece]); }
    uint32_t NewPiece(uint32_t begin, uint32_t length, uint32_t after);
    uint32_t NewWrittenPiece(std::string_view text, uint32_t after);
    void Split(uint32_t piece, uint32_t offset, uint32_t section);
    void EnsureLineEndAfter(uint32_t& piece);
    uint32_t FindSection(std::string_view name) const;
    uint32_t FindKey(uint32_t section, std::string_view key) const;
    uint64_t SectionHash(uint32_t section) const;
    uint64_t KeyHash(uint32_t piece) const;
    void IndexSection(uint32_t section);
    void IndexKey(uint32_t piece);
    std::string_view KeyLine(std::string_view section, std::string_view key) const;
    void ReplaceValue(uint32_t piece, std::string_view value);
    void AppendKey(uint32_t section, std::string_view key, std::string_view value);
    uint32_t AppendSection(std::string_view section);
    bool EncodeForSave(std::string& bytes);
    std::string FromFileText(std::string_view value) const;
    bool ToFileText(std::string_view text, std::string& fileText);
    bool BecomeUnicode();

    std::string m_path;
    bool m_bUnreadable = false;
    uint32_t m_lastSaveError = 0;
    ReadResult m_loadResult = ReadResult::Ok;
    uint32_t m_loadError = 0;
    Encoding m_encoding = Encoding::Plain;
    bool m_bLostCharacters = false;
    bool m_bBecameUnicode = false;
    bool m_bCannotBecomeUnicode = false;
    // The UTF-8 of plain values that ForEachValue gave, kept as long as the
    // views it gave of them.
    mutable std::deque<std::string> m_convertedValues;
    size_t m_nUnplacedLines = 0;
    size_t m_nFirstUnplacedLine = 0;
    bool m_bHasContent = false;

    std::string m_text;     // the text as loaded
    std::string m_written;  // lines written since, appended
    // m_pieces[0]: the lines before the first section. A deque grows without
    // moving what it holds, so that loading never holds the pieces twice.
    std::deque<Piece> m_pieces;
    uint32_t m_lastPiece = 0;  // the piece that ends the file
    std::vector<Section> m_sections;
    CNameSlots m_sectionSlots;  // section number by folded name
    CNameSlots m_keySlots;      // key piece by section and folded name
};

// The full path of a profile file named by its bare name: it lives in the
// Windows directory, as the profile functions resolve a bare name. Formed as
// "%s.\%s" (the path rules drop the dot that ends the directory), whatever
// the directory's length; "" when the Windows directory is unknown.
std::string ProfilePathIn(const std::string& windowsDirectory, const std::string& bareName);
std::string ProfilePath(const char* bareName);

}  // namespace qm
