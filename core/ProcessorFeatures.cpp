#include "core/ProcessorFeatures.h"

#if defined(__GNUC__) && defined(__x86_64__)
#define QM_X86_CPUID 1
#include <cpuid.h>
#else
#define QM_X86_CPUID 0
#endif

namespace qm {

namespace {

constexpr bool Bit(uint64_t word, int bit) { return ((word >> bit) & 1) != 0; }

// CPUID leaf 1, ECX.
constexpr int kPclmulqdq = 1;
constexpr int kSsse3 = 9;
constexpr int kSse41 = 19;
constexpr int kOsxsave = 27;
constexpr int kAvx = 28;
// CPUID leaf 7, EBX and ECX.
constexpr int kAvx2 = 5;
constexpr int kAvx512f = 16;
constexpr int kSha = 29;
constexpr int kVpclmulqdq = 10;
// XCR0: the register states the system saves at a task switch.
constexpr uint64_t kXmmYmmStates = (1u << 1) | (1u << 2);
constexpr uint64_t kZmmStates =
    (1u << 5) | (1u << 6) | (1u << 7);  // opmask, ZMM0-15 high, ZMM16-31

CpuidAnswers AskProcessor() {
    CpuidAnswers answers;
#if QM_X86_CPUID
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return answers;
    answers.leaf1Ecx = ecx;
    if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) {
        answers.leaf7Ebx = ebx;
        answers.leaf7Ecx = ecx;
    }
    // XGETBV exists only where the system enabled it (OSXSAVE).
    if (Bit(answers.leaf1Ecx, kOsxsave)) {
        unsigned low = 0, high = 0;
        __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
        answers.xcr0 = (static_cast<uint64_t>(high) << 32) | low;
    }
#endif
    return answers;
}

}  // namespace

ProcessorFeatures FeaturesFrom(const CpuidAnswers& answers) {
    ProcessorFeatures features;
    const bool sse41 = Bit(answers.leaf1Ecx, kSse41);
    features.pclmul = Bit(answers.leaf1Ecx, kPclmulqdq) && sse41;
    const bool wideSaved =
        Bit(answers.leaf1Ecx, kOsxsave) && (answers.xcr0 & kXmmYmmStates) == kXmmYmmStates;
    const bool avx2 = wideSaved && Bit(answers.leaf1Ecx, kAvx) && Bit(answers.leaf7Ebx, kAvx2);
    features.vpclmul256 = features.pclmul && avx2 && Bit(answers.leaf7Ecx, kVpclmulqdq);
    features.vpclmul512 = features.vpclmul256 && Bit(answers.leaf7Ebx, kAvx512f) &&
                          (answers.xcr0 & kZmmStates) == kZmmStates;
    // The SHA extensions work on the XMM registers only, which every x86-64
    // system saves.
    features.shaExtensions = Bit(answers.leaf7Ebx, kSha) && Bit(answers.leaf1Ecx, kSsse3) && sse41;
    return features;
}

const ProcessorFeatures& Processor() {
    static const ProcessorFeatures features = FeaturesFrom(AskProcessor());
    return features;
}

}  // namespace qm
