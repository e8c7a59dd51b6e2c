#include "core/ProcessorFeatures.h"

#include <gtest/gtest.h>

#include "core/Crc32Kernels.h"
#include "core/Sha256Kernels.h"

namespace qm {
namespace {

// A processor with everything the kernels use: PCLMULQDQ, SSSE3, SSE4.1,
// OSXSAVE and AVX; AVX2, AVX-512F and SHA; VPCLMULQDQ; a system that saves
// the XMM, YMM and ZMM registers.
CpuidAnswers Everything() {
    CpuidAnswers answers;
    answers.leaf1Ecx = (1u << 1) | (1u << 9) | (1u << 19) | (1u << 27) | (1u << 28);
    answers.leaf7Ebx = (1u << 5) | (1u << 16) | (1u << 29);
    answers.leaf7Ecx = 1u << 10;
    answers.xcr0 = 0xE7;
    return answers;
}

TEST(ProcessorFeatures, WideVectorsOnlyWhereTheSystemSavesTheirRegisters) {
    const ProcessorFeatures all = FeaturesFrom(Everything());
    EXPECT_TRUE(all.pclmul && all.vpclmul256 && all.vpclmul512 && all.shaExtensions);

    CpuidAnswers noZmm = Everything();
    noZmm.xcr0 = 0x07;  // x87, XMM and YMM only
    EXPECT_TRUE(FeaturesFrom(noZmm).vpclmul256);
    EXPECT_FALSE(FeaturesFrom(noZmm).vpclmul512);

    CpuidAnswers noXsave = Everything();
    noXsave.leaf1Ecx &= ~(1u << 27);  // the system did not enable XSAVE
    const ProcessorFeatures narrow = FeaturesFrom(noXsave);
    EXPECT_TRUE(narrow.pclmul && narrow.shaExtensions);
    EXPECT_FALSE(narrow.vpclmul256 || narrow.vpclmul512);

    CpuidAnswers noSse41 = Everything();
    noSse41.leaf1Ecx &= ~(1u << 19);
    EXPECT_FALSE(FeaturesFrom(noSse41).pclmul || FeaturesFrom(noSse41).shaExtensions);
    EXPECT_FALSE(FeaturesFrom(CpuidAnswers()).pclmul);
}

TEST(ProcessorFeatures, TheKernelsFollowThem) {
    const ProcessorFeatures& here = Processor();
    EXPECT_EQ(&here, &Processor());  // asked once
    EXPECT_EQ(sha256::IsAvailable(sha256::Kernel::ShaExtensions), here.shaExtensions);
    EXPECT_EQ(crc32::IsAvailable(crc32::Kernel::Pclmul), here.pclmul);
    EXPECT_EQ(crc32::IsAvailable(crc32::Kernel::Vpclmul512), here.vpclmul512);
    EXPECT_EQ(sha256::BestKernel() == sha256::Kernel::ShaExtensions, here.shaExtensions);
}

}  // namespace
}  // namespace qm
