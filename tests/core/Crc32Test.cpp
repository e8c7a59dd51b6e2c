#include "core/Crc32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "RecordingPlatform.h"
#include "core/Crc32Kernels.h"
#include "core/Fingerprint.h"

namespace qm {
namespace {

using crc32::Kernel;

std::vector<unsigned char> RandomBytes(size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<unsigned char> bytes(count);
    for (auto& b : bytes) b = static_cast<unsigned char>(random());
    return bytes;
}

std::vector<Kernel> AvailableKernels() {
    std::vector<Kernel> kernels;
    for (Kernel k : crc32::kAllKernels) {
        if (crc32::IsAvailable(k)) kernels.push_back(k);
    }
    return kernels;
}

// A whole CRC (initial value and final complement) through one kernel.
uint32_t KernelCrc(Kernel kernel, const void* data, size_t length) {
    return ~crc32::Update(kernel, 0xFFFFFFFFu, data, length);
}
uint32_t KernelCrc(Kernel kernel, const std::string& text) {
    return KernelCrc(kernel, text.data(), text.size());
}
uint32_t KernelCrc(Kernel kernel, const std::vector<unsigned char>& bytes) {
    return KernelCrc(kernel, bytes.data(), bytes.size());
}
uint32_t ReferenceCrc(const std::vector<unsigned char>& bytes) {
    return KernelCrc(Kernel::ByteTable, bytes);
}

// ---------------------------------------------------------------------------
// The kernels

TEST(Crc32Kernels, GiveTheStandardCheckValues) {
    for (Kernel kernel : AvailableKernels()) {
        SCOPED_TRACE(crc32::KernelName(kernel));
        EXPECT_EQ(KernelCrc(kernel, "123456789"), 0xCBF43926u);
        EXPECT_EQ(KernelCrc(kernel, "abc"), 0x352441C2u);
        EXPECT_EQ(KernelCrc(kernel, "The quick brown fox jumps over the lazy dog"), 0x414FA339u);
        EXPECT_EQ(KernelCrc(kernel, ""), 0u);
    }
}

TEST(Crc32Kernels, AgreeWithTheByteTableOnEveryLengthAndAlignment) {
    const std::vector<unsigned char> data = RandomBytes(1200 + 64, 1);
    std::mt19937 random(2);
    for (size_t length = 0; length <= 1200; ++length) {
        for (size_t offset = 0; offset < 64; offset += (length < 300 ? 1 : 7)) {
            const unsigned char* start = data.data() + offset;
            const uint32_t initial = static_cast<uint32_t>(random());
            const uint32_t expected = crc32::Update(Kernel::ByteTable, initial, start, length);
            for (Kernel kernel : AvailableKernels()) {
                if (crc32::Update(kernel, initial, start, length) != expected) {
                    ADD_FAILURE() << crc32::KernelName(kernel) << " length " << length << " offset "
                                  << offset;
                    return;
                }
            }
        }
    }
}

TEST(Crc32Kernels, AgreeOnLargeBuffersWholeAndInPieces) {
    const std::vector<unsigned char> data = RandomBytes((1 << 20) + 13, 3);
    const uint32_t expected = ReferenceCrc(data);
    for (Kernel kernel : AvailableKernels()) {
        SCOPED_TRACE(crc32::KernelName(kernel));
        EXPECT_EQ(KernelCrc(kernel, data), expected);
        // Uneven pieces continue the register exactly.
        std::mt19937 random(4);
        uint32_t crc = 0xFFFFFFFFu;
        for (size_t at = 0; at < data.size();) {
            const size_t piece = std::min<size_t>(random() % 9000, data.size() - at);
            crc = crc32::Update(kernel, crc, data.data() + at, piece);
            at += piece;
        }
        EXPECT_EQ(~crc, expected);
    }
    // All zeros and all ones exercise the folding constants without help
    // from random data.
    for (unsigned char fill : {0x00, 0xFF}) {
        const std::vector<unsigned char> flat(70000, fill);
        for (Kernel kernel : AvailableKernels()) {
            EXPECT_EQ(KernelCrc(kernel, flat), ReferenceCrc(flat))
                << crc32::KernelName(kernel) << " fill " << int(fill);
        }
    }
}

TEST(Crc32Kernels, ACalculatorTakesOnlyAKernelTheProcessorHas) {
    EXPECT_TRUE(crc32::IsAvailable(crc32::BestKernel()));
    const std::string digits = "123456789";
    for (Kernel kernel : crc32::kAllKernels) {
        CCrc32 calculator;
        EXPECT_EQ(calculator.UseKernel(kernel), crc32::IsAvailable(kernel));
        EXPECT_EQ(~calculator.Update(0xFFFFFFFFu, digits.data(), digits.size()), 0xCBF43926u);
    }
    std::printf("CRC-32 kernel in use: %s\n", crc32::KernelName(crc32::BestKernel()));
}

// ---------------------------------------------------------------------------
// CCrc32 over files

class Crc32File : public ::testing::Test {
protected:
    void SetUp() override {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        m_directory = std::filesystem::temp_directory_path() /
                      ("qmcrc" + std::to_string(std::random_device()() & 0xFFFFFF) + "_" +
                       std::to_string(stamp & 0xFFFF));
        std::filesystem::create_directories(m_directory);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_directory, ignored);
    }

    std::string MakeFile(const std::string& name, const std::vector<unsigned char>& contents) {
        const std::filesystem::path path = m_directory / name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(contents.data()),
                  static_cast<std::streamsize>(contents.size()));
        return path.string();
    }
    std::string MakeFile(const std::string& name, const std::string& contents) {
        return MakeFile(name, std::vector<unsigned char>(contents.begin(), contents.end()));
    }
    std::string Missing() const { return (m_directory / "missing.exe").string(); }

private:
    std::filesystem::path m_directory;
};

TEST_F(Crc32File, CheckValuesAndEmptyFile) {
    CCrc32 calculator;
    calculator.BuildTable();
    uint32_t crc = 1;
    EXPECT_EQ(calculator.FileCrc32(MakeFile("digits.txt", "123456789"), crc), 0u);
    EXPECT_EQ(CrcText(crc), "cbf43926");
    EXPECT_EQ(calculator.FileCrc32(MakeFile("abc.txt", "abc"), crc), 0u);
    EXPECT_EQ(CrcText(crc), "352441c2");
    crc = 1;
    EXPECT_EQ(calculator.FileCrc32(MakeFile("empty.dat", ""), crc), 0u);
    EXPECT_EQ(CrcText(crc), "0");
}

TEST_F(Crc32File, EveryKernelGivesTheSameFileCrc) {
    // Not a whole number of pieces, so that the last piece is short.
    const std::vector<unsigned char> contents = RandomBytes(300 * 1024 + 77, 5);
    const std::string path = MakeFile("large.bin", contents);
    for (Kernel kernel : AvailableKernels()) {
        CCrc32 calculator;
        calculator.BuildTable();
        ASSERT_TRUE(calculator.UseKernel(kernel));
        uint32_t crc = 0;
        EXPECT_EQ(calculator.FileCrc32(path, crc), 0u);
        EXPECT_EQ(crc, ReferenceCrc(contents)) << crc32::KernelName(kernel);
    }
}

TEST_F(Crc32File, WithoutTableAnswers23AndDoesNotOpen) {
    const std::string path = MakeFile("tool.exe", "123456789");
    test::RecordingPlatform platform;
    CCrc32 calculator;
    uint32_t crc = 1;
    EXPECT_EQ(calculator.FileCrc32(path, crc), 23u);
    EXPECT_EQ(crc, 0u);

    calculator.BuildTable();
    EXPECT_EQ(calculator.FileCrc32(path, crc), 0u);
    EXPECT_EQ(crc, 0xCBF43926u);
    EXPECT_EQ(platform.opens, 1);

    calculator.FreeTable();
    crc = 1;
    EXPECT_EQ(calculator.FileCrc32(path, crc), 23u);
    EXPECT_EQ(crc, 0u);
    EXPECT_EQ(platform.opens, 1);

    // A second build replaces the table and works as the first.
    calculator.BuildTable();
    calculator.BuildTable();
    EXPECT_EQ(calculator.FileCrc32(path, crc), 0u);
    EXPECT_EQ(crc, 0xCBF43926u);
}

// Only FileCrc32 keeps the run's span: Update, which the reading threads
// call, needs nothing of BuildTable in any kernel.
TEST_F(Crc32File, UpdateNeedsNoTableInAnyKernel) {
    for (Kernel kernel : AvailableKernels()) {
        CCrc32 neverReadied;
        ASSERT_TRUE(neverReadied.UseKernel(kernel));
        EXPECT_EQ(~neverReadied.Update(0xFFFFFFFFu, "123456789", 9), 0xCBF43926u)
            << crc32::KernelName(kernel);
    }
}

TEST_F(Crc32File, FailedOpenGivesItsErrorCodeAndZero) {
    CCrc32 calculator;
    calculator.BuildTable();
    uint32_t crc = 1;
    EXPECT_EQ(calculator.FileCrc32(Missing(), crc), kErrorFileNotFound);
    EXPECT_EQ(crc, 0u);
    EXPECT_EQ(CrcText(crc), "0");

    test::RecordingPlatform platform;
    platform.openWithoutFile = true;
    crc = 1;
    EXPECT_NE(calculator.FileCrc32(MakeFile("x.exe", "abc"), crc), 0u);
    EXPECT_EQ(crc, 0u);
}

TEST_F(Crc32File, ReadsPiecesOfAtMost4096Bytes) {
    const std::vector<unsigned char> contents = RandomBytes(3 * 4096 + 100, 6);
    const std::string path = MakeFile("pieces.bin", contents);
    test::RecordingPlatform platform;
    CCrc32 calculator;
    calculator.BuildTable();
    uint32_t crc = 0;
    EXPECT_EQ(calculator.FileCrc32(path, crc), 0u);
    EXPECT_EQ(crc, ReferenceCrc(contents));
    ASSERT_GE(platform.readCapacities.size(), 5u);  // four pieces and the read at the end
    for (size_t capacity : platform.readCapacities) EXPECT_LE(capacity, 4096u);
}

TEST_F(Crc32File, ReadFailingPartWayKeepsTheBytesReadSoFar) {
    const std::vector<unsigned char> contents = RandomBytes(5 * 4096 + 5, 7);
    const std::string path = MakeFile("broken.bin", contents);
    test::RecordingPlatform platform;
    platform.failingRead = 3;
    CCrc32 calculator;
    calculator.BuildTable();
    uint32_t crc = 0;
    EXPECT_EQ(calculator.FileCrc32(path, crc), 0u);
    const std::vector<unsigned char> firstTwo(contents.begin(), contents.begin() + 2 * 4096);
    EXPECT_EQ(crc, ReferenceCrc(firstTwo));
    EXPECT_EQ(platform.readCapacities.size(), 3u);  // no read after the failure
}

TEST_F(Crc32File, ReaderOverstatingItsBytesCannotOverrunTheBuffer) {
    const std::string path = MakeFile("liar.bin", RandomBytes(10000, 8));
    test::RecordingPlatform platform;
    platform.overstateBytesRead = true;
    CCrc32 calculator;
    calculator.BuildTable();
    uint32_t crc = 0;
    EXPECT_EQ(calculator.FileCrc32(path, crc), 0u);  // and no out-of-bounds read
}

}  // namespace
}  // namespace qm
