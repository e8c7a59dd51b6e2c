#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/FaultPlatform.h"
#include "core/InstalledRelease.h"

namespace qm {
namespace {

using test::FaultPlatform;

RegistryValue Text(const std::string& text) {
    return RegistryValue{RegistryValue::Type::Text, text};
}
RegistryValue Dword(uint32_t number) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((number >> (8 * i)) & 0xFF));
    return RegistryValue{RegistryValue::Type::Dword, bytes};
}

TEST(ReorderDate, SplitsAsStrtokDoes) {
    EXPECT_EQ(ReorderDate("05-12-2004"), "12.05.2004");
    EXPECT_EQ(ReorderDate("05--12-2004"), "12.05.2004");
    EXPECT_EQ(ReorderDate("-05-12-2004-"), "12.05.2004");
    EXPECT_EQ(ReorderDate("05-12-2004-01"), "12.05.2004");
    // Without three fields the date stands as it is.
    EXPECT_EQ(ReorderDate("05-12"), "05-12");
    EXPECT_EQ(ReorderDate(""), "");
    EXPECT_EQ(ReorderDate("---"), "---");
    // Only the first 39 characters take part.
    EXPECT_EQ(ReorderDate("1-2-" + std::string(50, '3')), "2.1." + std::string(35, '3'));
}

TEST(InstalledRelease, ReadsVersionAndInstallationTimeOfAPresentKey) {
    FaultPlatform platform;
    platform.fakeRegistry = true;
    platform.registry[kQmwRegistryKey] = {{"Installation Date", Text("05-12-2004")},
                                          {"Installation Time", Text("14:30:00")},
                                          {"Version_Major", Dword(3)},
                                          {"Version_Minor", Dword(1)}};
    platform.registry[kSentinelRegistryKey] = {{"Installation Date", Text("05-12-2004")},
                                               {"Installation Time", Text("")},
                                               {"Version_Major", Dword(10)},
                                               {"Version_Minor", Dword(0)}};
    auto qmw = ReadInstalledRelease(kQmwRegistryKey);
    ASSERT_TRUE(qmw.has_value());
    EXPECT_EQ(qmw->version, "3.1");
    EXPECT_EQ(qmw->installedOn, "12.05.2004 14:30:00");
    auto sentinel = ReadInstalledRelease(kSentinelRegistryKey);
    ASSERT_TRUE(sentinel.has_value());
    EXPECT_EQ(sentinel->version, "10.0");
    EXPECT_EQ(sentinel->installedOn, "12.05.2004 ");

    platform.registry.erase(kSentinelRegistryKey);
    EXPECT_FALSE(ReadInstalledRelease(kSentinelRegistryKey).has_value());
}

TEST(InstalledRelease, MissingOrWrongTypedValuesLeaveTheirPartEmpty) {
    FaultPlatform platform;
    platform.fakeRegistry = true;
    platform.registry[kQmwRegistryKey] = {{"Installation Date", Dword(5)},
                                          {"Installation Time", Text(std::string(60, 't'))},
                                          {"Version_Major", Dword(0xFFFFFFFF)},
                                          {"Version_Minor", Text("1")}};
    auto qmw = ReadInstalledRelease(kQmwRegistryKey);
    ASSERT_TRUE(qmw.has_value());
    EXPECT_EQ(qmw->version, "-1");  // the minor number is unknown
    EXPECT_EQ(qmw->installedOn, " " + std::string(39, 't'));

    platform.registry[kQmwRegistryKey] = {{"Version_Minor", Dword(4)}};
    qmw = ReadInstalledRelease(kQmwRegistryKey);
    ASSERT_TRUE(qmw.has_value());
    EXPECT_EQ(qmw->version, "");
    EXPECT_EQ(qmw->installedOn, "");
}

// A version number cut short is named, and its part stays empty.
TEST(InstalledRelease, AVersionCutShortIsNamedAndNotShown) {
    FaultPlatform platform;
    platform.fakeRegistry = true;
    platform.registry[kQmwRegistryKey] = {
        {"Version_Major", Dword(3)},
        {"Version_Minor", RegistryValue{RegistryValue::Type::CutDword, std::string("\x01", 1)}}};
    auto qmw = ReadInstalledRelease(kQmwRegistryKey);
    ASSERT_TRUE(qmw.has_value());
    EXPECT_EQ(qmw->version, "3");
    EXPECT_EQ(qmw->cutValues, std::vector<std::string>{"Version_Minor"});
}

#ifndef _WIN32
// The posix platform reads the machine's keys from an exported registry file.
TEST(InstalledRelease, ReadsAnExportedRegistryFile) {
    const std::string file = ::testing::TempDir() + "qmverify-test.reg";
    FILE* out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs(
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmark\\Quillmark Works]\r\n"
        "\"Installation Date\"=\"05-12-2004\"\r\n"
        "\"Installation Time\"=\"14:30:00\"\r\n"
        "\"Version_Major\"=dword:00000003\r\n"
        "\"Version_Minor\"=dword:00000001\r\n",
        out);
    std::fclose(out);
    setenv("QMVERIFY_REGISTRY", file.c_str(), 1);
    auto qmw = ReadInstalledRelease(kQmwRegistryKey);
    auto sentinel = ReadInstalledRelease(kSentinelRegistryKey);
    unsetenv("QMVERIFY_REGISTRY");
    std::remove(file.c_str());
    ASSERT_TRUE(qmw.has_value());
    EXPECT_EQ(qmw->version, "3.1");
    EXPECT_EQ(qmw->installedOn, "12.05.2004 14:30:00");
    EXPECT_FALSE(sentinel.has_value());
}
#endif

}  // namespace
}  // namespace qm
