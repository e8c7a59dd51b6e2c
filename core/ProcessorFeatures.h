// What the processor offers the kernels of the CRC-32 and the SHA-256,
// asked once per process.
//
// Both engines choose their kernel from these features (core/KernelChoice.h).
// A wide-vector feature counts only where the system also saves the
// registers it uses (XCR0), as 7-Zip's CpuArch.c checks it: a processor
// with AVX-512 under a system that does not save the ZMM registers would
// lose them at the next task switch.
#pragma once

#include <cstdint>

namespace qm {

struct ProcessorFeatures {
    bool pclmul = false;         // carry-less multiplication (PCLMULQDQ) with SSE4.1
    bool vpclmul256 = false;     // the same on 256-bit vectors (VPCLMULQDQ, AVX2)
    bool vpclmul512 = false;     // the same on 512-bit vectors (AVX-512F)
    bool shaExtensions = false;  // the SHA extensions with SSSE3 and SSE4.1
};

// What CPUID (leaves 1 and 7) and XGETBV answered.
struct CpuidAnswers {
    uint32_t leaf1Ecx = 0;
    uint32_t leaf7Ebx = 0;
    uint32_t leaf7Ecx = 0;
    uint64_t xcr0 = 0;  // the register states the system saves; 0 without OSXSAVE
};

// The decision from those answers.
ProcessorFeatures FeaturesFrom(const CpuidAnswers& answers);

// This processor's features: asked at the first call and then kept, from
// any thread (a processor does not change under a running process).
const ProcessorFeatures& Processor();

}  // namespace qm
