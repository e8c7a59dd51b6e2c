// The pieces of the command line that a spawned run reaches only roughly:
// field escaping and the argument rules.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <stdlib.h>
#endif

#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "cli/ResultFormat.h"

namespace qm::cli {
namespace {

TEST(FieldEscaping, CsvQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(CsvField("\\qmw.\\tool.exe"), "\\qmw.\\tool.exe");
    EXPECT_EQ(CsvField(""), "");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("tab\t"), "tab\t");
}

TEST(FieldEscaping, TsvTurnsSeparatorsIntoBlanks) {
    EXPECT_EQ(TsvField("a\tb\r\nc"), "a b  c");
    EXPECT_EQ(TsvField("plain, \"text\""), "plain, \"text\"");
}

// What reaches a terminal raw could drive it; the table shows '?' for it.
TEST(FieldEscaping, SeparatedFieldsShowControlCharactersAsTheTableDoes) {
    const std::string controls("\x1b[2J\a\x7f\b\0\x1f", 9);
    EXPECT_EQ(CsvField(controls), "?[2J?????");
    EXPECT_EQ(TsvField(controls), "?[2J?????");
    // A line break would make a row of its own on the terminal, quoted or not.
    EXPECT_EQ(CsvField("two\nlines"), "two?lines");
    EXPECT_EQ(CsvField("cr\r, quoted"), "\"cr?, quoted\"");
}

// C1 control characters drive a terminal as C0 ones do (U+009B is CSI):
// the table, CSV and TSV show each as '?', as a UTF-8 character or as a
// lone byte, and letters whose UTF-8 holds such bytes stay.
TEST(FieldEscaping, C1ControlCharactersAreReplacedAsC0Ones) {
    const std::string text =
        "a\xC2\x9B"
        "b\x9B"
        "c\x1B\t\xC4\x81\xC3\xA9";
    EXPECT_EQ(WithoutControlCharacters(text, true), "a?b?c?\t\xC4\x81\xC3\xA9");
    EXPECT_EQ(Printable(text), "a?b?c??\xC4\x81\xC3\xA9");
    EXPECT_EQ(TsvField(text), "a?b?c? \xC4\x81\xC3\xA9");
    EXPECT_EQ(CsvField("\xC2\x85x"), "?x");
}

TEST(FieldEscaping, JsonIsAsciiWithEscapes) {
    EXPECT_EQ(JsonString("\\qmw.\\a \"b\""), "\"\\\\qmw.\\\\a \\\"b\\\"\"");
    EXPECT_EQ(JsonString(std::string("\x01\x1f\x7f\t\n\r", 6)),
              "\"\\u0001\\u001f\\u007f\\t\\n\\r\"");
    EXPECT_EQ(JsonString(std::string("a\0b", 3)), "\"a\\u0000b\"");
    // The core's text is UTF-8 on every system; a byte that starts no
    // sequence (a posix name's) stands for itself, and half a surrogate pair
    // of a Windows name is its own escape.
    EXPECT_EQ(JsonString("caf\xc3\xa9"), "\"caf\\u00e9\"");
    EXPECT_EQ(JsonString("caf\xe9"), "\"caf\\u00e9\"");
    EXPECT_EQ(JsonString("\xf0\x9f\x98\x80"), "\"\\ud83d\\ude00\"");
    EXPECT_EQ(JsonString("\xe0\x80\xaf"), "\"\\u00e0\\u0080\\u00af\"");  // overlong '/'
    EXPECT_EQ(JsonString("\xed\xa0\x80"), "\"\\ud800\"");
}

// A file or pipe gets the ANSI code page; what it cannot spell is escaped
// by its code point, never '?', and "<" cannot start a file name, so every
// true name comes back from it.
TEST(FieldEscaping, AnsiOutputEscapesWhatTheCodePageCannotSpell) {
#ifdef _WIN32
    if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << GetACP();
#else
    setenv("QMVERIFY_ANSI_CODE_PAGE", "1252", 1);
#endif
    EXPECT_EQ(AnsiOutput("caf\xC3\xA9 \xD0\xB5vil.dll \xE8\xA9\x95 t\xC5\x8Dol \xF0\x9F\x98\x80"),
              "caf\xE9 <U+0435>vil.dll <U+8A55> t<U+014D>ol <U+1F600>");
#ifndef _WIN32
    unsetenv("QMVERIFY_ANSI_CODE_PAGE");
    EXPECT_EQ(AnsiOutput("\xD0\xB5vil.dll"), "\xD0\xB5vil.dll");  // UTF-8 passes as it is
#endif
}

TEST(ResultFormats, EveryFormatHasAHeaderEvenWithoutRows) {
    CResultTable empty;
    EXPECT_EQ(FormatRows(empty, OutputFormat::Json), "[]\n");
    EXPECT_EQ(FormatRows(empty, OutputFormat::Csv),
              "Filename,Status,CRC Current,Date Current,CRC Release,Date Release,Comment,Entry,"
              "Section\r\n");
    EXPECT_EQ(FormatRows(empty, OutputFormat::Table).find("Filename  Status  CRC Current"), 0u);
}

TEST(ResultFormats, TableShowsControlCharactersAsQuestionMarks) {
    CResultTable table;
    ComparedFile file;
    file.path = "\\qmw.\\a\x1b[2Jb.exe";
    table.AddAtTop(file);
    const std::string text = FormatRows(table, OutputFormat::Table);
    EXPECT_EQ(text.find('\x1b'), std::string::npos);
    EXPECT_NE(text.find("\\qmw.\\a?[2Jb.exe"), std::string::npos);
}

bool Parse(const std::vector<std::string>& args, CommandLine& line) {
    std::string error;
    return ParseCommandLine(args, line, error);
}

TEST(CommandLineRules, OptionsGoAnywhereAndTakeTheirValueEitherWay) {
    CommandLine line;
    ASSERT_TRUE(Parse({"compare", "--root", "/r", "--format=json", "--windir=/w"}, line));
    EXPECT_EQ(line.command, Command::Compare);
    EXPECT_EQ(line.format, OutputFormat::Json);
    EXPECT_EQ(line.windowsDirectory, "/w");
    EXPECT_EQ(line.driveRoot, "/r");

    ASSERT_TRUE(Parse({"comment", "--updated=0", "qmw", "7", "--", "--not an option"}, line));
    EXPECT_EQ(line.updated, false);
    EXPECT_EQ(line.operands, (std::vector<std::string>{"qmw", "7", "--not an option"}));

    ASSERT_TRUE(Parse({"comment", "qmw", "7", "-"}, line));  // "-" is an operand
    EXPECT_FALSE(line.updated.has_value());

    EXPECT_FALSE(Parse({"-h", "--colour"}, line));       // unknown options fail even with help
    ASSERT_TRUE(Parse({"frobnicate", "--help"}, line));  // help wins over the command
    EXPECT_TRUE(line.help);
}

TEST(CommandLineRules, MessagesNameTheProblem) {
    CommandLine line;
    std::string error;
    EXPECT_FALSE(ParseCommandLine({"build", "--updated", "1"}, line, error));
    EXPECT_EQ(error, "option --updated does not belong to 'build'");
    EXPECT_FALSE(ParseCommandLine({"add", "x"}, line, error));
    EXPECT_EQ(error, "'add' takes: NAME qmw|db1");
    EXPECT_FALSE(ParseCommandLine({"--password-stdin=yes", "build"}, line, error));
    EXPECT_EQ(error, "option --password-stdin takes no value");
    EXPECT_FALSE(ParseCommandLine({"compare", "--bad\x1b"}, line, error));
    EXPECT_EQ(error, "unknown option '--bad?'");
}

}  // namespace
}  // namespace qm::cli
