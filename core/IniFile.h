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
// is not blank (a comment counts), as the profile functions place it. Line
// breaks and NULs in a written name or value are written as blanks, so that
// a value can never forge other keys or sections.
//
// Save writes a temporary file beside the original and replaces the original
// in one step, so a failed save never leaves a half-written file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qm {

class CIniFile {
public:
    CIniFile();
    ~CIniFile();
    CIniFile(CIniFile&&) noexcept;
    CIniFile& operator=(CIniFile&&) noexcept;
    CIniFile(const CIniFile&) = delete;
    CIniFile& operator=(const CIniFile&) = delete;

    // Loads the file at `path` through the platform. A missing file loads as
    // empty and returns true; a file that exists but cannot be read returns
    // false, and Save then refuses to overwrite it.
    bool Load(const std::string& path);

    // Takes the file's contents from a text instead of a file (tests, tools).
    void LoadText(std::string text);

    std::string ReadText(std::string_view section, std::string_view key, size_t capacity) const;
    int ReadInt(std::string_view section, std::string_view key, int defaultValue) const;
    void WriteText(std::string_view section, std::string_view key, std::string_view value);

    // Writes the contents to the path given to Load (or to `path`).
    [[nodiscard]] bool Save();
    [[nodiscard]] bool SaveAs(const std::string& path);

    // The file's contents as they would be saved.
    std::string Text() const;

private:
    struct Impl;
    Impl* m_impl;
};

// The full path of a profile file named by its bare name: it lives in the
// Windows directory, as the profile functions resolve a bare name.
std::string ProfilePath(const char* bareName);

}  // namespace qm
