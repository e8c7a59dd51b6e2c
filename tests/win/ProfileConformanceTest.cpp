// The profile engine next to the Windows profile functions: every case of the
// table runs once through GetPrivateProfileStringA / GetPrivateProfileIntA /
// WritePrivateProfileStringA on a file of its own and once through CIniFile,
// and both must give the same texts, integers and file bytes.
//
// Left out on purpose, because the engine chooses differently: integers in
// hexadecimal or beyond the range of int (read as plain decimal, clamped),
// line breaks inside a written value (written as blanks), and files that the
// profile functions rewrite as a whole (LF line ends, blank lines, blanks
// around '=' on a written line): the engine keeps those lines as they are.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/IniFile.h"
#include "platform/Utf8.h"

namespace qm {
namespace {

struct Write {
    const char* section;
    const char* key;
    const char* value;
};

struct Case {
    const char* what;
    std::optional<std::string> file;  // contents before; nullopt: no file
    const char* section;              // a read case: the key read
    const char* key;
    size_t capacity;
    std::vector<Write> writes;  // a write case: the writes, in order
};

const std::optional<std::string> kNoFile;

std::string WithNul(const char* text, size_t length) { return std::string(text, length); }

// clang-format off
const Case kCases[] = {
    // what                               file before                                   section  key      cap  writes
    {"blanks around names and values",    "[s]\r\n  Key  =  v a l  \r\n",               "s",     "key",   64,  {}},
    {"tabs around names and values",      "[s]\r\n\tKey\t=\tv\t\r\n",                   "s",     "KEY",   64,  {}},
    {"blanks in the asked names",         "[Sec]\r\nk=1\r\n",                           " sec ", " K ",   64,  {}},
    {"section line with blanks",          " [ Sec ] \r\nk=1\r\n",                       "SEC",   "k",     64,  {}},
    {"double quotes removed",             "[s]\r\nk=\"quoted\"\r\n",                    "s",     "k",     64,  {}},
    {"single quotes removed",             "[s]\r\nk='quoted'\r\n",                      "s",     "k",     64,  {}},
    {"quotes keep inner blanks",          "[s]\r\nk=\" pad \"\r\n",                     "s",     "k",     64,  {}},
    {"mismatched quotes kept",            "[s]\r\nk=\"half'\r\n",                       "s",     "k",     64,  {}},
    {"lone quote kept",                   "[s]\r\nk=\"\r\n",                            "s",     "k",     64,  {}},
    {"empty quotes",                      "[s]\r\nk=\"\"\r\n",                          "s",     "k",     64,  {}},
    {"quotes inside kept",                "[s]\r\nk=\"a\"b\"\r\n",                      "s",     "k",     64,  {}},
    {"comment line skipped",              "[s]\r\n;k=1\r\nk=2\r\n",                     "s",     "k",     64,  {}},
    {"first key wins",                    "[s]\r\nk=1\r\nK=2\r\n",                      "s",     "k",     64,  {}},
    {"first section wins",                "[s]\r\nk=1\r\n[S]\r\nk=2\r\nm=3\r\n",        "s",     "m",     64,  {}},
    {"section line without ']'",          "[s]\r\n[db1\r\nk=1\r\n",                     "s",     "k",     64,  {}},
    {"no section from a broken line",     "[s]\r\n[db1\r\nk=1\r\n",                     "db1",   "k",     64,  {}},
    {"text after ']'",                    "[s]junk\r\nk=1\r\n",                         "s",     "k",     64,  {}},
    {"LF line ends",                      "[s]\nk=1\nm=2\n",                            "s",     "m",     64,  {}},
    {"CR line ends",                      "[s]\rk=1\rm=2\r",                            "s",     "m",     64,  {}},
    {"missing final line end",            "[s]\r\nk=1\r\nm=22",                         "s",     "m",     64,  {}},
    {"value cut to capacity - 1",         "[s]\r\nk=abcdef\r\n",                        "s",     "k",     4,   {}},
    {"capacity 1",                        "[s]\r\nk=abcdef\r\n",                        "s",     "k",     1,   {}},
    {"capacity 0",                        "[s]\r\nk=abcdef\r\n",                        "s",     "k",     0,   {}},
    {"quoted value cut",                  "[s]\r\nk=\"quoted\"\r\n",                    "s",     "k",     5,   {}},
    {"quoted value that just fits",       "[s]\r\nk=\"quoted\"\r\n",                    "s",     "k",     9,   {}},
    {"key without '='",                   "[s]\r\nbare\r\nk=1\r\n",                     "s",     "bare",  64,  {}},
    {"NUL ends the value",                WithNul("[s]\r\nk=1\0002\r\n", 12),           "s",     "k",     64,  {}},
    {"Updated \" 1 \"",                   "[s]\r\nUpdated1= 1 \r\n",                    "s",     "Updated1", 64, {}},
    {"Updated \"1abc\"",                  "[s]\r\nUpdated1=1abc\r\n",                   "s",     "Updated1", 64, {}},
    {"Updated \"+1\"",                    "[s]\r\nUpdated1=+1\r\n",                     "s",     "Updated1", 64, {}},
    {"Updated \"-1\"",                    "[s]\r\nUpdated1=-1\r\n",                     "s",     "Updated1", 64, {}},
    {"Updated empty",                     "[s]\r\nUpdated1=\r\n",                       "s",     "Updated1", 64, {}},
    {"Updated blanks only",               "[s]\r\nUpdated1=   \r\n",                    "s",     "Updated1", 64, {}},
    {"Updated \"abc\"",                   "[s]\r\nUpdated1=abc\r\n",                    "s",     "Updated1", 64, {}},
    {"Updated \"+-1\"",                   "[s]\r\nUpdated1=+-1\r\n",                    "s",     "Updated1", 64, {}},
    {"Updated \"- 1\"",                   "[s]\r\nUpdated1=- 1\r\n",                    "s",     "Updated1", 64, {}},
    {"Updated quoted",                    "[s]\r\nUpdated1=\"12\"\r\n",                 "s",     "Updated1", 64, {}},
    {"Updated \"010\"",                   "[s]\r\nUpdated1=010\r\n",                    "s",     "Updated1", 64, {}},
    {"missing key",                       "[s]\r\nk=1\r\n",                             "s",     "x",     64,  {}},
    {"missing section",                   "[s]\r\nk=1\r\n",                             "t",     "k",     64,  {}},
    {"missing file",                      kNoFile,                                      "s",     "k",     64,  {}},

    {"release list of a build",           kNoFile,                                      nullptr, nullptr, 0,
        {{"qmw", "File1", "tool.exe"}, {"qmw", "Date1", "07.12.2026 11:45"}, {"qmw", "CRC1", "cbf43926"},
         {"qmw", "Updated1", "0"}, {"qmw", "Comment1", ""},
         {"db1", "File1", "store.dll"}, {"db1", "Date1", "03.11.2026 09:05"}, {"db1", "CRC1", "5d1f0a"},
         {"db1", "Updated1", "0"}, {"db1", "Comment1", ""}}},
    {"replace keeps the key's spelling",  "[Qmw]\r\nFILE1=a\r\nDate1=b\r\n",            nullptr, nullptr, 0, {{"qmw", "file1", "c"}}},
    {"replace with blanks in names",      "[s]\r\nk=1\r\n",                             nullptr, nullptr, 0, {{"  s ", " k ", "2"}}},
    {"replace a quoted value",            "[s]\r\nk=\"a\"\r\n",                         nullptr, nullptr, 0, {{"s", "k", "b"}}},
    {"replace with an empty value",       "[s]\r\nk=1\r\nm=2\r\n",                      nullptr, nullptr, 0, {{"s", "k", ""}}},
    {"replace a key without '='",         "[s]\r\nbare\r\nk=1\r\n",                     nullptr, nullptr, 0, {{"s", "bare", "x"}}},
    {"replace the unterminated last line", "[s]\r\nk=1",                                nullptr, nullptr, 0, {{"s", "k", "2"}}},
    {"new key after the last entry",      "[a]\r\nk=1\r\n[b]\r\nm=1\r\n",               nullptr, nullptr, 0, {{"A", "n", "2"}}},
    {"new key after a trailing comment",  "[a]\r\nk=1\r\n;c\r\n[b]\r\nm=1\r\n",         nullptr, nullptr, 0, {{"a", "n", "2"}}},
    {"new key after a broken section line", "[s]\r\nk=1\r\n[C\r\n",                     nullptr, nullptr, 0, {{"s", "z", "2"}}},
    {"new key into an empty last section", "[s]\r\nk=1\r\n[t]\r\n",                     nullptr, nullptr, 0, {{"t", "z", "y"}}},
    {"new key into the first of two",     "[s]\r\nk=1\r\n[S]\r\nk=2\r\n",               nullptr, nullptr, 0, {{"s", "z", "y"}, {"s", "k", "x"}}},
    {"new key after a missing line end",  "[s]\r\nk=1",                                 nullptr, nullptr, 0, {{"s", "z", "y"}}},
    {"new section after loose keys",      "x=1\r\n",                                    nullptr, nullptr, 0, {{"s", "z", "y"}}},
    {"new section at the end",            "[qmw]\r\nFile1=a\r\n",                       nullptr, nullptr, 0, {{"db1", "File1", "b"}, {"qmw", "File2", "c"}}},
};
// clang-format on

// A file per case, so that no cached copy of an earlier case is read.
class CaseFiles {
public:
    CaseFiles() {
        char directory[MAX_PATH];
        GetTempPathA(MAX_PATH, directory);
        m_prefix = std::string(directory) + "qmconf" + std::to_string(GetCurrentProcessId()) + "_";
    }
    ~CaseFiles() {
        for (const std::string& path : m_made) DeleteFileA(path.c_str());
    }
    std::string Prepare(size_t index, const std::optional<std::string>& contents) {
        std::string path = m_prefix + std::to_string(index) + ".ini";
        DeleteFileA(path.c_str());
        if (contents) {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(contents->data(), static_cast<std::streamsize>(contents->size()));
        }
        m_made.push_back(path);
        return path;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::string m_prefix;
    std::vector<std::string> m_made;
};

TEST(ProfileConformance, EngineAnswersAsTheProfileFunctions) {
    CaseFiles files;
    for (size_t index = 0; index < sizeof kCases / sizeof kCases[0]; ++index) {
        const Case& c = kCases[index];
        SCOPED_TRACE(c.what);
        const std::string path = files.Prepare(index, c.file);
        CIniFile engine;
        ASSERT_TRUE(engine.Load(path));

        if (c.writes.empty()) {
            std::vector<char> buffer(c.capacity + 16, '#');
            DWORD length = GetPrivateProfileStringA(c.section, c.key, "", buffer.data(),
                                                    static_cast<DWORD>(c.capacity), path.c_str());
            EXPECT_EQ(engine.ReadText(c.section, c.key, c.capacity),
                      std::string(buffer.data(), length));
            EXPECT_EQ(engine.ReadInt(c.section, c.key, 77),
                      static_cast<int>(GetPrivateProfileIntA(c.section, c.key, 77, path.c_str())));
            continue;
        }
        for (const Write& w : c.writes) {
            WritePrivateProfileStringA(w.section, w.key, w.value, path.c_str());
            engine.WriteText(w.section, w.key, w.value);
        }
        EXPECT_EQ(engine.Text(), CaseFiles::Read(path));
    }
}

std::string Utf16Le(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>((unit >> 8) & 0xFF);
    }
    return bytes;
}

std::wstring Wide(const std::string& text) {
    std::u16string units;
    Utf8ToUtf16(text, units);
    return std::wstring(units.begin(), units.end());
}

std::string Narrow(const wchar_t* text, size_t length) {
    return Utf16ToUtf8(std::u16string(text, text + length));
}

// A list saved as "Unicode" (UTF-16LE with a byte-order mark): the profile
// functions read and write it as UTF-16, and the engine, whose texts are
// UTF-8, must read the same texts and write the same bytes. (A UTF-8
// byte-order mark is left out: Windows keeps it in the first section's name
// and so loses that section, Wine skips it, and the engine skips it too.)
TEST(ProfileConformance, Utf16ListsReadAndWriteAsTheProfileFunctionsDo) {
    const std::string bytes = Utf16Le(
        L"[qmw]\r\nFile1=tool.exe\r\nComment1=Gr\u00fc\u00dfe \u20ac\r\nUpdated1=1\r\n"
        L"File2=\u0435vil.dll\r\n[db1]\r\nFile1=\"store.dll\"\r\n");
    CaseFiles files;
    const std::wstring theirs = Wide(files.Prepare(2000, bytes));
    const std::string ours = files.Prepare(2001, bytes);
    CIniFile engine;
    ASSERT_TRUE(engine.Load(ours));
    EXPECT_EQ(engine.FileEncoding(), CIniFile::Encoding::Utf16LeWithBom);
    const std::pair<const char*, const char*> keys[] = {
        {"qmw", "File1"}, {"qmw", "Comment1"}, {"QMW", "updated1"}, {"qmw", "File2"},
        {"db1", "File1"}, {"db1", "Comment1"}, {"missing", "File1"}};
    for (const auto& [section, key] : keys) {
        SCOPED_TRACE(std::string(section) + "/" + key);
        wchar_t text[128] = L"";
        const DWORD length = GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), L"",
                                                      text, 128, theirs.c_str());
        EXPECT_EQ(engine.ReadText(section, key, 128), Narrow(text, length));
        EXPECT_EQ(engine.ReadInt(section, key, 77),
                  static_cast<int>(GetPrivateProfileIntW(Wide(section).c_str(), Wide(key).c_str(),
                                                         77, theirs.c_str())));
    }
    const Write writes[] = {{"qmw", "Comment1",
                             "Gr\xC3\xB6\xC3\x9F"
                             "e"},
                            {"qmw", "Date1", "07.12.2026 11:45"},
                            {"db1", "File2", "\xE8\xA9\x95\xE4\xBE\xA1.exe"},
                            {"sentinel", "File1", "x.exe"}};
    for (const Write& w : writes) {
        WritePrivateProfileStringW(Wide(w.section).c_str(), Wide(w.key).c_str(),
                                   Wide(w.value).c_str(), theirs.c_str());
        engine.WriteText(w.section, w.key, w.value);
    }
    ASSERT_TRUE(engine.Save());
    EXPECT_EQ(CaseFiles::Read(ours), CaseFiles::Read(Narrow(theirs.c_str(), theirs.size())));
}

// A plain list given a name that the ANSI code page cannot spell becomes
// UTF-16LE with a byte-order mark, every other line as it was, and the
// profile functions read every name of it back as it was written.
TEST(ProfileConformance, APlainListBecomesUnicodeForANameTheCodePageCannotSpell) {
    CaseFiles files;
    const std::string ours = files.Prepare(2002, "[qmw]\r\nFile1=tool.exe\r\n; kept\r\n");
    CIniFile engine;
    ASSERT_TRUE(engine.Load(ours));
    const std::string name = "\xD0\xB5vil.dll";  // a Cyrillic e
    ASSERT_TRUE(engine.WriteText("qmw", "File2", name));
    EXPECT_TRUE(engine.BecameUnicode());
    ASSERT_TRUE(engine.Save());
    EXPECT_EQ(CaseFiles::Read(ours),
              Utf16Le(L"[qmw]\r\nFile1=tool.exe\r\n; kept\r\nFile2=\u0435vil.dll\r\n"));
    const std::wstring path = Wide(ours);
    for (const auto& [key, value] :
         {std::pair<const wchar_t*, std::string>{L"File1", "tool.exe"}, {L"File2", name}}) {
        wchar_t text[64] = L"";
        const DWORD length = GetPrivateProfileStringW(L"qmw", key, L"", text, 64, path.c_str());
        EXPECT_EQ(Narrow(text, length), value);
    }
}

// The engine writes a value that a read would change (blanks, tabs or
// quotes at an end) inside double quotes; the real profile functions must
// read back exactly what was given, for file names and comments alike.
TEST(ProfileConformance, ProfileFunctionsReadBackWhatTheEngineWrote) {
    const char* const kValues[] = {
        " lead.exe",
        "trail.exe ",
        "\ttab.exe",
        "tab.exe\t",
        "\"quoted.exe\"",
        "'single.exe'",
        "\"half.exe",
        "half.exe'",
        "  both  ",
        "\" pad \"",
        "a \"middle\" one",
        "\"",
        "'",
        "\"\"",
        "plain.exe",
        " a comment with blanks around it ",
        "",
    };
    CaseFiles files;
    const std::string path = files.Prepare(1000, kNoFile);
    CIniFile engine;
    ASSERT_TRUE(engine.Load(path));
    int n = 0;
    for (const char* value : kValues) {
        ++n;
        engine.WriteText("qmw", "File" + std::to_string(n), value);
        engine.WriteText("qmw", "Comment" + std::to_string(n), value);
    }
    ASSERT_TRUE(engine.Save());
    n = 0;
    for (const char* value : kValues) {
        ++n;
        SCOPED_TRACE(value);
        for (const char* prefix : {"File", "Comment"}) {
            char text[600] = "";
            const std::string key = prefix + std::to_string(n);
            const DWORD length =
                GetPrivateProfileStringA("qmw", key.c_str(), "", text, sizeof text, path.c_str());
            EXPECT_EQ(std::string(text, length), value);
            EXPECT_EQ(CIniFile(engine).ReadText("qmw", key, 600), value);
        }
    }
}

}  // namespace
}  // namespace qm
