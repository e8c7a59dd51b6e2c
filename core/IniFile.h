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
// Save writes a new temporary file beside the original (created new, never
// over a file that exists) and replaces the original with it in one step, so
// a failed save never leaves a half-written file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qm {

class CIniFile {
public:
    CIniFile();

    // Loads the file at `path` through the platform. A missing file loads as
    // empty and returns true; a file that exists but cannot be read returns
    // false, and Save then refuses to overwrite it.
    bool Load(const std::string& path);

    // Takes the file's contents from a text instead of a file (tests, tools).
    void LoadText(std::string_view text);

    std::string ReadText(std::string_view section, std::string_view key, size_t capacity) const;
    int ReadInt(std::string_view section, std::string_view key, int defaultValue) const;
    // The names of a section's keys as the file spells them, each once (the
    // occurrence that reads win), in the order of the file.
    std::vector<std::string> KeyNames(std::string_view section) const;
    // False when the names are refused (see above): nothing was written.
    bool WriteText(std::string_view section, std::string_view key, std::string_view value);

    // Writes the contents to the path given to Load (or to `path`).
    [[nodiscard]] bool Save();
    [[nodiscard]] bool SaveAs(const std::string& path);
    // The system's reason why the last save failed (0 after a good one, and
    // kErrorAccessDenied for contents that could not be read).
    uint32_t LastSaveError() const { return m_lastSaveError; }

    // The file's contents as they would be saved.
    std::string Text() const;

private:
    // A piece starts with a key line that the index points to and carries
    // the lines up to the next indexed key line unparsed.
    struct Piece {
        std::string text;  // whole lines with their line ends
        // Just past the last key line (or the section line) in the piece:
        // where a new key of the section goes when this is its last piece.
        size_t entryEnd = 0;
    };
    struct Block {
        std::vector<Piece> pieces;                     // pieces[0] starts with the section line
        std::unordered_map<std::string, size_t> keys;  // folded key name -> piece
    };

    void Clear();
    void Parse(std::string_view text);
    void AddLine(std::string_view line, bool& indexing);
    const std::string* FindKeyLine(std::string_view section, std::string_view key) const;
    static void ReplaceValue(Piece& piece, std::string_view value);
    void AppendKey(size_t blockIndex, std::string_view key, std::string_view value);
    void AppendSection(std::string_view section);

    std::string m_path;
    bool m_bUnreadable = false;
    uint32_t m_lastSaveError = 0;
    std::vector<Block> m_blocks;  // m_blocks[0]: the lines before the first section
    std::unordered_map<std::string, size_t> m_sections;  // folded section name -> block
};

// The full path of a profile file named by its bare name: it lives in the
// Windows directory, as the profile functions resolve a bare name. Formed as
// "%s.\%s" (the path rules drop the dot that ends the directory), whatever
// the directory's length; "" when the Windows directory is unknown.
std::string ProfilePathIn(const std::string& windowsDirectory, const std::string& bareName);
std::string ProfilePath(const char* bareName);

}  // namespace qm
