// The inner loops of the CRC-32 calculator. Every kernel continues a raw
// CRC register (no initial value, no final complement) over a buffer and all
// of them give the same result; they differ only in speed. Each CCrc32
// takes the fastest one that the processor supports when it is made
// (core/KernelChoice.h).
//
// Internal to the core: CCrc32 uses its kernel, tests and benchmarks may
// pick one by name. The byte table (ByteTableEntry) is built at compile
// time beside the kernels that read it (Crc32Slicing.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

// Carry-less multiplication kernels exist for x86-64 built with GCC or Clang;
// elsewhere slicing is the fastest.
#if defined(__GNUC__) && defined(__x86_64__)
#define QM_CRC32_X86_FOLDING 1
#else
#define QM_CRC32_X86_FOLDING 0
#endif

namespace qm::crc32 {

// The reflected polynomial of the standard CRC-32 (ISO 3309, ITU-T V.42).
constexpr uint32_t kReflectedPolynomial = 0xEDB88320u;

// Entry i of the byte table: the CRC register after the byte i, from 0.
constexpr uint32_t ByteTableEntry(uint32_t i) {
    uint32_t x = i;
    for (int bit = 0; bit < 8; ++bit) x = (x & 1) ? (x >> 1) ^ kReflectedPolynomial : x >> 1;
    return x;
}

enum class Kernel {
    ByteTable,   // one table look-up per byte: the reference
    Slicing16,   // sixteen bytes per step through sixteen tables
    Pclmul,      // carry-less multiplication, 4 x 128 bits in flight
    Vpclmul256,  // the same on 256-bit vectors (AVX2 with VPCLMULQDQ)
    Vpclmul512,  // the same on 512-bit vectors (AVX-512 with VPCLMULQDQ)
};
constexpr Kernel kAllKernels[] = {Kernel::ByteTable, Kernel::Slicing16, Kernel::Pclmul,
                                  Kernel::Vpclmul256, Kernel::Vpclmul512};

// Each kernel carries its own tables or constants: none needs anything of
// CCrc32.
using KernelFunction = uint32_t (*)(uint32_t crc, const unsigned char* data, size_t length);

const char* KernelName(Kernel kernel);
bool IsAvailable(Kernel kernel);
// The fastest kernel this processor supports.
Kernel BestKernel();
// The function of `kernel`; of the fastest one when the processor lacks it.
KernelFunction FunctionOf(Kernel kernel);

// Runs one kernel directly. Falls back to slicing when the kernel is not
// available.
uint32_t Update(Kernel kernel, uint32_t crc, const void* data, size_t length);

// The kernels themselves.
uint32_t UpdateByteTable(uint32_t crc, const unsigned char* data, size_t length);
uint32_t UpdateSlicing16(uint32_t crc, const unsigned char* data, size_t length);
#if QM_CRC32_X86_FOLDING
uint32_t UpdatePclmul(uint32_t crc, const unsigned char* data, size_t length);
uint32_t UpdateVpclmul256(uint32_t crc, const unsigned char* data, size_t length);
uint32_t UpdateVpclmul512(uint32_t crc, const unsigned char* data, size_t length);
#endif

}  // namespace qm::crc32
