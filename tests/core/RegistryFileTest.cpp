// The reader of exported registry files (what the posix stand-in takes for
// the machine's registry), fed bytes directly: natively and under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/RegistryValues.h"
#include "platform/RegistryFile.h"

namespace {

using qm::test::Dword;
using qm::test::ExpectWorksValues;

class RegistryFileTest : public ::testing::Test {
protected:
    void UseFile(const std::string& bytes) { m_bytes = bytes; }

    static std::string Utf16(const std::string& ascii) {
        std::string bytes = "\xFF\xFE";
        for (char c : ascii) {
            bytes += c;
            bytes += '\0';
        }
        return bytes;
    }

    bool Read(const std::string& key, std::vector<qm::RegistryValue>& values) {
        return qm::ReadRegistryFileKey(m_bytes, key, kNames, values);
    }

    const std::vector<std::string> kNames{"Installation Date", "Installation Time", "Version_Major",
                                          "Version_Minor"};
    std::string m_bytes;
};

const char kWorks[] =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmark\\Quillmark Works]\r\n"
    "\"Installation Date\"=\"05-12-2004\"\r\n"
    "\"Installation Time\"=\"14:30:00\"\r\n"
    "\"Version_Major\"=dword:00000003\r\n"
    "\"Version_Minor\"=dword:0000000a\r\n";

TEST_F(RegistryFileTest, AnEmptyFileHoldsNoKeys) {
    std::vector<qm::RegistryValue> values;
    EXPECT_FALSE(Read("SOFTWARE\\Quillmark\\Quillmark Works", values));
}

TEST_F(RegistryFileTest, ReadsUtf16ExportOfVersionFive) {
    UseFile(Utf16(std::string("Windows Registry Editor Version 5.00\r\n\r\n") + kWorks));
    std::vector<qm::RegistryValue> values;
    ASSERT_TRUE(Read("SOFTWARE\\Quillmark\\Quillmark Works", values));
    ASSERT_EQ(4u, values.size());
    ExpectWorksValues(values);
    EXPECT_FALSE(Read("SOFTWARE\\Quillmark\\Quillmark Sentinel", values));
}

TEST_F(RegistryFileTest, ReadsRegedit4AndUtf8Exports) {
    for (const std::string& header :
         {std::string("REGEDIT4\n\n"),
          std::string("\xEF\xBB\xBFWindows Registry Editor Version 5.00\n\n")}) {
        std::string text = header + kWorks;
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        UseFile(text);
        std::vector<qm::RegistryValue> values;
        ASSERT_TRUE(Read("software\\quillmark\\QUILLMARK WORKS", values));
        EXPECT_EQ("05-12-2004", values[0].data);
        EXPECT_EQ(Dword(10), values[3].data);
    }
}

TEST_F(RegistryFileTest, KeyNamesMayUseTheShortRootAndOtherRootsDoNotCount) {
    UseFile(
        "REGEDIT4\r\n\r\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Quillmark\\Quillmark Works]\r\n"
        "\"Version_Major\"=dword:00000007\r\n\r\n"
        "[HKLM\\SOFTWARE\\Quillmark\\Quillmark Sentinel]\r\n"
        "\"Version_Major\"=dword:00000002\r\n");
    std::vector<qm::RegistryValue> values;
    EXPECT_FALSE(Read("SOFTWARE\\Quillmark\\Quillmark Works", values));
    ASSERT_TRUE(Read("SOFTWARE\\Quillmark\\Quillmark Sentinel", values));
    EXPECT_EQ(Dword(2), values[2].data);
    EXPECT_EQ(qm::RegistryValue::Type::Missing, values[0].type);
    EXPECT_EQ(qm::RegistryValue::Type::Missing, values[3].type);
}

TEST_F(RegistryFileTest, OtherTypesEscapesAndContinuationLines) {
    UseFile(
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "; a comment\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmark\\Quillmark Works]\r\n"
        "\"Installation Date\"=hex(2):30,00,35,00,2d,00,31,00,32,00,2d,00,32,00,30,00,\\\r\n"
        "  30,00,34,00,00,00\r\n"
        "\"Installation Time\"=\"C:\\\\Quill \\\"mark\\\"\"\r\n"
        "\"Version_Major\"=\"3\"\r\n"
        "\"Version_Minor\"=hex:01,00,00,00\r\n"
        "\"Other \\\"name\\\"\"=dword:00000001\r\n"
        "@=\"default\"\r\n");
    std::vector<qm::RegistryValue> values;
    ASSERT_TRUE(Read("SOFTWARE\\Quillmark\\Quillmark Works", values));
    EXPECT_EQ(qm::RegistryValue::Type::Other, values[0].type);
    EXPECT_EQ(qm::RegistryValue::Type::Text, values[1].type);
    EXPECT_EQ("C:\\Quill \"mark\"", values[1].data);
    EXPECT_EQ(qm::RegistryValue::Type::Text, values[2].type);
    EXPECT_EQ("3", values[2].data);
    EXPECT_EQ(qm::RegistryValue::Type::Other, values[3].type);
    EXPECT_EQ(std::string("\x01\0\0\0", 4), values[3].data);

    std::vector<qm::RegistryValue> others;
    ASSERT_TRUE(qm::ReadRegistryFileKey(m_bytes, "SOFTWARE\\Quillmark\\Quillmark Works",
                                        {"Other \"name\"", "", "missing"}, others));
    ASSERT_EQ(3u, others.size());
    EXPECT_EQ(qm::RegistryValue::Type::Dword, others[0].type);
    EXPECT_EQ(qm::RegistryValue::Type::Text, others[1].type);
    EXPECT_EQ("default", others[1].data);
    EXPECT_EQ(qm::RegistryValue::Type::Missing, others[2].type);
}

TEST_F(RegistryFileTest, AKeyWithoutValuesExistsAndDeletedKeysDoNot) {
    UseFile(
        "REGEDIT4\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmark\\Quillmark Works]\n\n"
        "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmark\\Quillmark Sentinel]\n"
        "\"Version_Major\"=dword:00000002\n");
    std::vector<qm::RegistryValue> values;
    ASSERT_TRUE(Read("SOFTWARE\\Quillmark\\Quillmark Works", values));
    ASSERT_EQ(4u, values.size());
    for (const auto& value : values) EXPECT_EQ(qm::RegistryValue::Type::Missing, value.type);
    EXPECT_FALSE(Read("SOFTWARE\\Quillmark\\Quillmark Sentinel", values));
}

TEST_F(RegistryFileTest, FallsBackToTheThirtyTwoBitView) {
    UseFile(
        "REGEDIT4\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Quillmark\\Quillmark Works]\n"
        "\"Version_Major\"=dword:00000004\n");
    std::vector<qm::RegistryValue> values;
    ASSERT_TRUE(Read("SOFTWARE\\Quillmark\\Quillmark Works", values));
    EXPECT_EQ(Dword(4), values[2].data);
}

TEST_F(RegistryFileTest, BadDwordIsAnotherType) {
    UseFile(
        "REGEDIT4\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmark\\Quillmark Works]\n"
        "\"Version_Major\"=dword:1234567890\n"
        "\"Version_Minor\"=dword:xyz\n");
    std::vector<qm::RegistryValue> values;
    ASSERT_TRUE(Read("SOFTWARE\\Quillmark\\Quillmark Works", values));
    EXPECT_EQ(qm::RegistryValue::Type::Other, values[2].type);
    EXPECT_EQ(qm::RegistryValue::Type::Other, values[3].type);
}

// A DWORD cut short (fewer than 8 digits, or hex(4) with fewer than 4 bytes)
// holds no number: dword:3 is not 3. Four bytes given one by one are one.
TEST_F(RegistryFileTest, ADwordCutShortIsNoNumber) {
    UseFile(
        "REGEDIT4\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmark\\Quillmark Works]\n"
        "\"Installation Date\"=dword:\n"
        "\"Installation Time\"=hex(4):03,00\n"
        "\"Version_Major\"=dword:0000003\n"
        "\"Version_Minor\"=hex(4):0a,00,00,00\n");
    std::vector<qm::RegistryValue> values;
    ASSERT_TRUE(Read("SOFTWARE\\Quillmark\\Quillmark Works", values));
    EXPECT_EQ(qm::RegistryValue::Type::CutDword, values[0].type);
    EXPECT_EQ(qm::RegistryValue::Type::CutDword, values[1].type);
    EXPECT_EQ(qm::RegistryValue::Type::CutDword, values[2].type);
    EXPECT_EQ(qm::RegistryValue::Type::Dword, values[3].type);
    EXPECT_EQ(Dword(10), values[3].data);
}

// Many value names under one key cost no more than their number: later
// lines still win, and every name is found.
TEST_F(RegistryFileTest, ManyValueNamesReadInOnePass) {
    std::string text = "REGEDIT4\n\n[HKLM\\SOFTWARE\\Quillmark\\Quillmark Works]\n";
    for (int i = 0; i < 20000; ++i) text += "\"v" + std::to_string(i) + "\"=dword:00000001\n";
    text += "\"V7\"=dword:00000007\n";
    UseFile(text);
    std::vector<qm::RegistryValue> values;
    ASSERT_TRUE(qm::ReadRegistryFileKey(m_bytes, "SOFTWARE\\Quillmark\\Quillmark Works",
                                        {"v7", "v19999", "v20000"}, values));
    EXPECT_EQ(Dword(7), values[0].data);
    EXPECT_EQ(Dword(1), values[1].data);
    EXPECT_EQ(qm::RegistryValue::Type::Missing, values[2].type);
}

}  // namespace
