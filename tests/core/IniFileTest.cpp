// The profile engine: reading hand-edited files, writing the release list
// byte for byte, surviving bad input, and saving without ever losing a file.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "FaultPlatform.h"
#include "SampleInstallation.h"
#include "core/IniFile.h"
#include "core/Settings.h"

namespace qm {
namespace {

CIniFile FromText(const std::string& text) {
    CIniFile ini;
    ini.LoadText(text);
    return ini;
}

TEST(IniFileRead, NamesValuesQuotesAndComments) {
    const CIniFile ini = FromText(
        "top=before any section\r\n"
        "[Alpha]\r\n"
        "  Spaced Key  =  spaced value  \r\n"
        "\tTabbed\t=\tv\t\r\n"
        "double=\"quoted\"\r\n"
        "single='quoted'\r\n"
        "mixed=\"half'\r\n"
        "lonequote=\"\r\n"
        "inner=\" pad \"\r\n"
        ";hidden=comment\r\n"
        "bare\r\n"
        "dup=first\r\n"
        "dup=second\r\n"
        "[db1\r\n"
        "afterbroken=still alpha\r\n"
        "[ALPHA]\r\n"
        "later=second section\r\n"
        "[Beta]junk\r\n"
        "b=1\r\n");
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"alpha", "spaced key", "spaced value"},
        {" ALPHA ", "  SPACED KEY ", "spaced value"},
        {"Alpha", "tabbed", "v"},
        {"Alpha", "double", "quoted"},
        {"Alpha", "single", "quoted"},
        {"Alpha", "mixed", "\"half'"},
        {"Alpha", "lonequote", "\""},
        {"Alpha", "inner", " pad "},
        {"Alpha", ";hidden", ""},
        {"Alpha", "bare", ""},
        {"Alpha", "dup", "first"},
        {"Alpha", "afterbroken", "still alpha"},
        {"db1", "afterbroken", ""},
        {"Alpha", "later", ""},
        {"Beta", "b", "1"},
        {"", "top", ""},
        {"Missing", "dup", ""},
        {"Alpha", "missing", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ini.ReadText(c.section, c.key, 64), c.expected) << c.section << "/" << c.key;
    }
    // The keys that read, each once: a repeated key and the keys of a
    // repeated section are none of them.
    const std::vector<std::string> names = ini.KeyNames("alpha");
    EXPECT_EQ(std::count(names.begin(), names.end(), "dup"), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), "later"), 0);
    EXPECT_EQ(std::count(names.begin(), names.end(), "double"), 1);
}

TEST(IniFileRead, CapacityCutsTheValue) {
    const CIniFile ini = FromText("[s]\nk=abcdef\nq=\"quoted\"\n");
    EXPECT_EQ(ini.ReadText("s", "k", 0), "");
    EXPECT_EQ(ini.ReadText("s", "k", 1), "");
    EXPECT_EQ(ini.ReadText("s", "k", 4), "abc");
    EXPECT_EQ(ini.ReadText("s", "k", 7), "abcdef");
    // The cut counts the text without its quotes.
    EXPECT_EQ(ini.ReadText("s", "q", 5), "quot");
    EXPECT_EQ(ini.ReadText("s", "q", 7), "quoted");
}

TEST(IniFileRead, Integers) {
    const CIniFile ini = FromText(
        "[u]\r\nplus=+1\r\nminus=-1\r\nblanks= 1 \r\ntrail=1abc\r\nempty=\r\nonlyblanks=  \r\n"
        "hex=0x1\r\nquoted=\"12\"\r\nword=abc\r\nsigns=+-1\r\nbig=99999999999\r\n"
        "small=-99999999999\r\nmax=2147483647\r\nmin=-2147483648\r\nzeros=010\r\n");
    struct Case {
        const char* key;
        int expected;
    };
    const Case cases[] = {
        {"plus", 1},         {"minus", -1},
        {"blanks", 1},       {"trail", 1},
        {"empty", 7},        {"onlyblanks", 7},
        {"hex", 0},          {"quoted", 12},
        {"word", 0},         {"signs", 0},
        {"big", 2147483647}, {"small", -2147483647 - 1},
        {"max", 2147483647}, {"min", -2147483647 - 1},
        {"zeros", 10},       {"missing", 7},
    };
    for (const Case& c : cases) EXPECT_EQ(ini.ReadInt("u", c.key, 7), c.expected) << c.key;
    EXPECT_EQ(ini.ReadInt("nosection", "plus", 7), 7);
}

TEST(IniFileWrite, ReleaseListOfABuildComesOutByteForByte) {
    CIniFile ini;
    const char* sections[] = {"qmw", "db1"};
    const char* values[2][5] = {{"tool.exe", "07.12.2026 11:45", "cbf43926", "0", ""},
                                {"store.dll", "03.11.2026 09:05", "5d1f0a", "0", ""}};
    const char* keys[] = {"File1", "Date1", "CRC1", "Updated1", "Comment1"};
    for (int s = 0; s < 2; ++s) {
        for (int k = 0; k < 5; ++k) ini.WriteText(sections[s], keys[k], values[s][k]);
    }
    EXPECT_EQ(ini.Text(),
              "[qmw]\r\nFile1=tool.exe\r\nDate1=07.12.2026 11:45\r\nCRC1=cbf43926\r\n"
              "Updated1=0\r\nComment1=\r\n[db1]\r\nFile1=store.dll\r\n"
              "Date1=03.11.2026 09:05\r\nCRC1=5d1f0a\r\nUpdated1=0\r\nComment1=\r\n");
}

TEST(IniFileWrite, ChangesOnlyWhatItMust) {
    struct Case {
        const char* name;
        const char* before;
        const char* section;
        const char* key;
        const char* value;
        const char* after;
    };
    const Case cases[] = {
        {"replace keeps spelling and layout", "; head\n[Qmw]\n  File1 = old \nx=1\n", "qmw",
         "FILE1", "new", "; head\n[Qmw]\n  File1 = new\nx=1\n"},
        {"replace a quoted value", "[s]\r\nk=\"a\"\r\n", "s", "k", "b", "[s]\r\nk=b\r\n"},
        {"key without '='", "[s]\r\nnoeq\r\nk=1\r\n", "s", "noeq", "x", "[s]\r\nnoeq=x\r\nk=1\r\n"},
        {"new key before blank lines", "[a]\r\nk=1\r\n\r\n\r\n[b]\r\n", "a", "n", "2",
         "[a]\r\nk=1\r\nn=2\r\n\r\n\r\n[b]\r\n"},
        {"new key after a comment", "[a]\r\nk=1\r\n;c\r\n[b]\r\n", "a", "n", "2",
         "[a]\r\nk=1\r\n;c\r\nn=2\r\n[b]\r\n"},
        {"new key into an empty section", "[a]\r\n[b]\r\n", "A", "n", "2", "[a]\r\nn=2\r\n[b]\r\n"},
        {"first section of a name wins", "[s]\r\nk=1\r\n[S]\r\nk=2\r\n", "s", "z", "y",
         "[s]\r\nk=1\r\nz=y\r\n[S]\r\nk=2\r\n"},
        {"missing final line end", "[s]\r\nk=1", "s", "z", "y", "[s]\r\nk=1\r\nz=y\r\n"},
        {"replace the unterminated last line", "[s]\r\nk=1", "s", "k", "2", "[s]\r\nk=2\r\n"},
        {"new section at the end", "x=1", "t", "k", "v", "x=1\r\n[t]\r\nk=v\r\n"},
        {"line breaks in a value stay on one line", "[s]\r\nk=1\r\n", "s", "k",
         "a\r\n[evil]\r\nx=1", "[s]\r\nk=a  [evil]  x=1\r\n"},
        {"empty names write nothing", "[s]\r\n", " ", "k", "v", "[s]\r\n"},
    };
    for (const Case& c : cases) {
        CIniFile ini = FromText(c.before);
        ini.WriteText(c.section, c.key, c.value);
        EXPECT_EQ(ini.Text(), c.after) << c.name;
    }
}

// Names that would split the line, start a section or a comment, or end the
// line early are refused and write nothing; names that only look alike are
// written and read back.
TEST(IniFileWrite, NamesThatCouldForgeLinesAreRefused) {
    const std::string before = "[s]\r\nk=1\r\n";
    struct Case {
        std::string section;
        std::string key;
    };
    const Case refused[] = {
        {"s", "a=b"},      {"s", "[t]"},  {"s", ";k"},        {"s", " [t]"},
        {"s", "k\r\n[t]"}, {"s", "k\nx"}, {"s", {"k\0x", 3}}, {"s", "\t"},
        {"s]\r\n[t", "k"}, {"t\n", "k"},  {{"s\0t", 3}, "k"}, {" ", "k"},
    };
    for (const Case& c : refused) {
        CIniFile ini = FromText(before);
        EXPECT_FALSE(ini.WriteText(c.section, c.key, "v")) << c.section << "/" << c.key;
        EXPECT_EQ(ini.Text(), before) << c.section << "/" << c.key;
    }
    const Case accepted[] = {{"s", "x]"}, {"s", "a[b"}, {"s", "a;b"},  {"[t", "k"},
                             {";t", "k"}, {"a=b", "k"}, {"s", "\"q\""}};
    for (const Case& c : accepted) {
        CIniFile ini = FromText(before);
        EXPECT_TRUE(ini.WriteText(c.section, c.key, "v")) << c.section << "/" << c.key;
        const CIniFile reloaded = FromText(ini.Text());
        EXPECT_EQ(reloaded.ReadText(c.section, c.key, 8), "v") << c.section << "/" << c.key;
        EXPECT_EQ(reloaded.ReadText("s", "k", 8), "1") << c.section << "/" << c.key;
    }
}

TEST(IniFileWrite, WrittenValuesReadBackAndRepeatedWritesReplace) {
    CIniFile ini = FromText("[qmw]\r\nFile1=a\r\n\r\n[db1]\r\nFile1=b\r\n");
    for (int round = 0; round < 3; ++round) {
        ini.WriteText("qmw", "Comment1", "note " + std::to_string(round));
        ini.WriteText("db1", "File2", "c" + std::to_string(round));
    }
    EXPECT_EQ(ini.Text(),
              "[qmw]\r\nFile1=a\r\nComment1=note 2\r\n\r\n[db1]\r\nFile1=b\r\nFile2=c2\r\n");
    EXPECT_EQ(ini.ReadText("QMW", "comment1", 512), "note 2");
}

TEST(IniFileBadInput, NeverCrashesAndKeepsEveryByte) {
    std::string nul("[s]\r\nk=a\0b\r\nm=2\r\n", 18);
    std::string junk;
    std::mt19937 random(42);
    for (int i = 0; i < 200000; ++i) junk += static_cast<char>(random());
    std::string hugeLine = "[s]\nk=" + std::string(1 << 20, 'x') + "\nm=3";
    const std::string inputs[] = {nul, junk, hugeLine, "",          "\n\n\n", "no sections=here\n",
                                  "[", "]",  "=",      "[]\n=\n[\n"};
    for (const std::string& input : inputs) {
        CIniFile ini = FromText(input);
        EXPECT_EQ(ini.Text(), input);
        ini.ReadText("s", "k", 128);
        ini.ReadInt("s", "k", 0);
        ini.WriteText("s", "new", "v");
        EXPECT_EQ(ini.ReadText("s", "new", 8), "v");
    }
    // A NUL ends the value, as it ends every text the callers hold.
    EXPECT_EQ(FromText(nul).ReadText("s", "k", 64), "a");
    EXPECT_EQ(FromText(nul).ReadText("s", "m", 64), "2");
    EXPECT_EQ(FromText(hugeLine).ReadText("s", "k", 128), std::string(127, 'x'));
    EXPECT_EQ(FromText(hugeLine).ReadInt("s", "m", 0), 3);
}

TEST(IniFileBadInput, FiftyMegabytes) {
    std::string big = "[qmw]\r\n";
    big.reserve(50u << 20);
    const std::string filler(1000, 'z');
    for (int n = 1; big.size() < (50u << 20); ++n) {
        big += "File" + std::to_string(n) + "=" + filler + "\r\n";
    }
    const size_t size = big.size();
    CIniFile ini = FromText(std::move(big));
    EXPECT_EQ(ini.ReadText("qmw", "File2", 4), "zzz");
    ini.WriteText("qmw", "File1", "tool.exe");
    EXPECT_EQ(ini.Text().size(), size - filler.size() + 8);
}

TEST(IniFileBuild, TwentyThousandEntriesRoundTrip) {
    CIniFile ini;
    const char* keys[] = {"File", "Date", "CRC", "Updated", "Comment"};
    for (int n = 1; n <= 20000; ++n) {
        for (const char* key : keys) {
            ini.WriteText(n % 2 ? "qmw" : "db1", key + std::to_string(n), std::to_string(n));
        }
    }
    CIniFile reloaded = FromText(ini.Text());
    EXPECT_EQ(reloaded.ReadText("qmw", "File19999", 40), "19999");
    EXPECT_EQ(reloaded.ReadInt("db1", "Updated20000", -1), 20000);
    EXPECT_EQ(reloaded.ReadText("db1", "File19999", 40), "");
    EXPECT_EQ(reloaded.Text(), ini.Text());
}

// A platform that cannot read the files that exist.
class UnreadablePlatform : public test::FaultPlatform {
public:
    ReadResult ReadWholeFile(const std::string&, std::string& contents) override {
        contents.clear();
        return ReadResult::Failed;
    }
};

TEST(IniFileSave, CreatesReplacesAndNeverLosesTheFile) {
    test::SampleInstallation place(false);
    const std::string path = place.InWindows("list.lst").string();
    {
        CIniFile ini;
        ASSERT_TRUE(ini.Load(path));  // missing: loads empty
        ini.WriteText("qmw", "File1", "tool.exe");
        ASSERT_TRUE(ini.Save());
        EXPECT_EQ(place.ReadInWindows("list.lst"), "[qmw]\r\nFile1=tool.exe\r\n");
    }
    for (int failure = 0; failure < 3; ++failure) {
        test::FaultPlatform faults;
        faults.failCreateNewFile = failure == 0;
        faults.writeHalfThenFail = failure == 1;
        faults.failMoveReplace = failure == 2;
        CIniFile ini;
        ASSERT_TRUE(ini.Load(path));
        ini.WriteText("qmw", "File1", "other.exe");
        EXPECT_FALSE(ini.Save()) << failure;
        EXPECT_EQ(place.ReadInWindows("list.lst"), "[qmw]\r\nFile1=tool.exe\r\n") << failure;
        EXPECT_FALSE(place.ExistsInWindows("list.lst.tmp")) << failure;
    }
    {
        UnreadablePlatform unreadable;
        CIniFile ini;
        EXPECT_FALSE(ini.Load(path));
        ini.WriteText("qmw", "File1", "other.exe");
        EXPECT_FALSE(ini.Save());
        EXPECT_TRUE(unreadable.calls.empty());
    }
    EXPECT_EQ(place.ReadInWindows("list.lst"), "[qmw]\r\nFile1=tool.exe\r\n");
}

TEST(Settings, DefaultsWriteAndReadBack) {
    test::SampleInstallation place(false);
    SettingsFlags flags = ReadSettingsFlags();
    EXPECT_EQ(flags.checkQmw, 1);
    EXPECT_EQ(flags.checkDb1, 1);

    ASSERT_TRUE(WriteSettingsFlags({0, 1}));
    EXPECT_EQ(place.ReadInWindows("qmverify.ini"),
              "[Config]\r\nCheckQmwFiles=0\r\nCheckDb1Files=1\r\n");
    flags = ReadSettingsFlags();
    EXPECT_EQ(flags.checkQmw, 0);
    EXPECT_EQ(flags.checkDb1, 1);

    // A hand-edited file keeps its other lines.
    place.WriteInWindows("qmverify.ini", "; mine\r\n[config]\r\ncheckdb1files = 0\r\n");
    EXPECT_EQ(ReadSettingsFlags().checkDb1, 0);
    ASSERT_TRUE(WriteSettingsFlags({1, 1}));
    EXPECT_EQ(place.ReadInWindows("qmverify.ini"),
              "; mine\r\n[config]\r\ncheckdb1files = 1\r\nCheckQmwFiles=1\r\n");

    test::FaultPlatform faults;
    faults.failMoveReplace = true;
    EXPECT_FALSE(WriteSettingsFlags({0, 0}));
}

}  // namespace
}  // namespace qm
