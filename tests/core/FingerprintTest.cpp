#include "core/Fingerprint.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "RecordingPlatform.h"

namespace qm {
namespace {

// 7 December 2026, 09:05:59 and 09:05:00 UTC.
constexpr FileTime kNineFiveFiftyNine{134411079590000000ULL};
constexpr FileTime kNineFive{134411079000000000ULL};

TEST(CrcText, LowerCaseHexadecimalWithoutLeadingZeros) {
    EXPECT_EQ(CrcText(0), "0");
    EXPECT_EQ(CrcText(0xCBF43926u), "cbf43926");
    EXPECT_EQ(CrcText(0x005D1F0Au), "5d1f0a");
    EXPECT_EQ(CrcText(0x0000000Fu), "f");
    EXPECT_EQ(CrcText(0xFFFFFFFFu), "ffffffff");
    EXPECT_EQ(CrcText(0x10000000u), "10000000");
}

// Pins the local time zone to UTC where the process can choose it; Windows
// takes the zone from the system, so there only offset-free facts are checked.
class LocalTime : public ::testing::Test {
protected:
#ifndef _WIN32
    void SetUp() override {
        const char* zone = std::getenv("TZ");
        m_hadZone = zone != nullptr;
        if (m_hadZone) m_zone = zone;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (m_hadZone) {
            setenv("TZ", m_zone.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    bool m_hadZone = false;
    std::string m_zone;
#endif
};

TEST_F(LocalTime, MinuteIsCutNotRounded) {
    const std::string text = TimestampText(kNineFiveFiftyNine);
    EXPECT_EQ(text, TimestampText(kNineFive));
    EXPECT_EQ(text.size(), 16u);
#ifndef _WIN32
    EXPECT_EQ(text, "07.12.2026 09:05");
#endif
}

TEST(TimestampText, FormatsTheCalendarFieldsWithZeros) {
    test::RecordingPlatform platform;
    platform.fixedCalendar = true;
    platform.calendar = {2026, 1, 2, 3, 4, 59};
    EXPECT_EQ(TimestampText(kNineFive), "02.01.2026 03:04");
    platform.calendar = {1601, 12, 31, 23, 59, 59};
    EXPECT_EQ(TimestampText(kNineFive), "31.12.1601 23:59");
    // Fields out of their ranges stay within the text's capacity.
    platform.calendar = {-2147483647 - 1, -2147483647 - 1, -2147483647 - 1,
                         -2147483647 - 1, -2147483647 - 1, 0};
    EXPECT_LT(TimestampText(kNineFive).size(), 40u);
}

TEST(TimestampText, EmptyWhenTheTimeCannotBeConverted) {
    test::RecordingPlatform platform;
    platform.failCalendar = true;
    EXPECT_EQ(TimestampText(kNineFive), "");
}

class FileTimestamp : public ::testing::Test {
protected:
    void SetUp() override {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        m_directory = std::filesystem::temp_directory_path() /
                      ("qmfp" + std::to_string(std::random_device()() & 0xFFFFFF) + "_" +
                       std::to_string(stamp & 0xFFFF));
        std::filesystem::create_directories(m_directory);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_directory, ignored);
    }
    std::string MakeFile(const std::string& name) {
        std::ofstream(m_directory / name) << "contents";
        return (m_directory / name).string();
    }
    std::string PathOf(const std::string& name) const { return (m_directory / name).string(); }

private:
    std::filesystem::path m_directory;
};

TEST_F(FileTimestamp, ComesFromTheDirectoryEntry) {
    const std::string path = MakeFile("tool.exe");
    FoundEntry entry;
    ASSERT_TRUE(Platform().FindFirst(path, entry));
    std::string text = "unchanged";
    ASSERT_TRUE(FileTimestampText(path, text));
    EXPECT_EQ(text, TimestampText(entry.lastWrite));
    EXPECT_EQ(text.size(), 16u);
}

TEST_F(FileTimestamp, FalseWithoutAnEntryOrWithAWildcard) {
    MakeFile("tool.exe");
    std::string text = "unchanged";
    EXPECT_FALSE(FileTimestampText(PathOf("missing.exe"), text));
    // The pattern would find tool.exe, which is not the file asked for.
    EXPECT_FALSE(FileTimestampText(PathOf("*.exe"), text));
    EXPECT_FALSE(FileTimestampText(PathOf("tool.ex?"), text));
    EXPECT_EQ(text, "unchanged");
}

}  // namespace
}  // namespace qm
