// The compression functions of SHA-256 (FIPS 180-4). Every kernel runs the
// 64 rounds over whole 64-byte blocks, one after the other, continuing the
// eight state words in place, and all of them give the same result; they
// differ only in speed. Each CSha256 takes the fastest one that the
// processor supports when it is made (core/KernelChoice.h).
//
// Internal to the core: CSha256 uses its kernel, tests and benchmarks may
// pick one by name.
#pragma once

#include <cstddef>
#include <cstdint>

// The kernel with the x86 SHA extensions exists for x86-64 built with GCC or
// Clang; elsewhere the portable kernel is the only one.
#if defined(__GNUC__) && defined(__x86_64__)
#define QM_SHA256_X86_SHA_EXTENSIONS 1
#else
#define QM_SHA256_X86_SHA_EXTENSIONS 0
#endif

namespace qm::sha256 {

// The first 32 bits of the fractional parts of the cube roots of the first
// 64 primes; aligned for the vector loads of the SHA-extensions kernel.
alignas(16) inline constexpr uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

enum class Kernel {
    Portable,       // standard C++ on 32-bit words
    ShaExtensions,  // the x86 SHA extensions (SHA-NI) with SSSE3 and SSE4.1
};
constexpr Kernel kAllKernels[] = {Kernel::Portable, Kernel::ShaExtensions};

// Continues `state` (the words A to H) over `count` blocks of 64 bytes at
// `blocks`, which need no alignment.
using CompressFunction = void (*)(uint32_t* state, const unsigned char* blocks, size_t count);
// Continues two states at once, each over `count` blocks of its own: two
// streams side by side, for a kernel whose rounds wait on each other.
using CompressPairFunction = void (*)(uint32_t* stateA, const unsigned char* blocksA,
                                      uint32_t* stateB, const unsigned char* blocksB, size_t count);
struct Compressors {
    CompressFunction one;
    CompressPairFunction two;
};

const char* KernelName(Kernel kernel);
bool IsAvailable(Kernel kernel);
// The fastest kernel this processor supports.
Kernel BestKernel();
// The functions of `kernel`; of the fastest one when the processor lacks it.
Compressors FunctionsOf(Kernel kernel);

// The kernels themselves; each may be called only where it is available.
void CompressPortable(uint32_t* state, const unsigned char* blocks, size_t count);
void CompressPairPortable(uint32_t* stateA, const unsigned char* blocksA, uint32_t* stateB,
                          const unsigned char* blocksB, size_t count);
#if QM_SHA256_X86_SHA_EXTENSIONS
void CompressShaExtensions(uint32_t* state, const unsigned char* blocks, size_t count);
void CompressPairShaExtensions(uint32_t* stateA, const unsigned char* blocksA, uint32_t* stateB,
                               const unsigned char* blocksB, size_t count);
#endif

}  // namespace qm::sha256
