// CRC-32 by folding with carry-less multiplication (after Intel's "Fast CRC
// Computation for Generic Polynomials Using PCLMULQDQ Instruction"), on
// 128-, 256- and 512-bit vectors.
//
// Folding keeps several 128-bit accumulators and moves each one forward over
// the data by a fixed distance: the accumulator, multiplied by x^distance
// modulo the polynomial, is added to the block that lies that far ahead.
// What is left at the end is one 16-byte block whose CRC from a zero
// register equals the CRC of everything folded into it; slicing finishes it
// together with the tail that did not fill a vector.
//
// Everything here runs only after a run-time check of the processor, so the
// functions carry their instruction sets as target attributes rather than the
// whole build. Vector values never cross a call that is not inlined, which
// keeps the code clear of MinGW's unaligned spills of 256/512-bit registers.
#include "core/Crc32Kernels.h"

#if QM_CRC32_X86_FOLDING

#include <immintrin.h>

// GCC 12's lane extractions start from _mm_undefined_si128(), which its
// optimiser then reports as possibly uninitialised.
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#define QM_TARGET_PCLMUL __attribute__((target("sse4.1,pclmul")))
#define QM_TARGET_VPCLMUL256 __attribute__((target("avx2,vpclmulqdq,pclmul")))
#define QM_TARGET_VPCLMUL512 __attribute__((target("avx512f,avx2,vpclmulqdq,pclmul")))
#define QM_INLINE inline __attribute__((always_inline))

namespace qm::crc32 {

namespace {

// x^n modulo the CRC polynomial, in the reflected bit order of the register.
constexpr uint32_t ReflectedPowerOfX(unsigned n) {
    uint32_t r = 0x80000000u;  // x^0
    for (unsigned i = 0; i < n; ++i) r = (r & 1) ? (r >> 1) ^ kReflectedPolynomial : r >> 1;
    return r;
}

// The multiplier that folds a 64-bit half of an accumulator over `n` bits;
// the shift by one makes up for the reflected product landing one bit low.
constexpr long long FoldMultiplier(unsigned n) {
    return static_cast<long long>(uint64_t(ReflectedPowerOfX(n)) << 1);
}

// The pair for a distance of `bits`: the low half of an accumulator (the
// earlier bytes) travels 64 bits further than the high half.
template <unsigned bits>
struct FoldPair {
    static_assert(bits >= 128 && bits % 128 == 0, "folds move whole 128-bit blocks");
    static constexpr long long low = FoldMultiplier(bits + 32);
    static constexpr long long high = FoldMultiplier(bits - 32);
};

// ---------------------------------------------------------------------------
// 128-bit vectors

template <unsigned bits>
QM_TARGET_PCLMUL QM_INLINE __m128i Multipliers128() {
    return _mm_set_epi64x(FoldPair<bits>::high, FoldPair<bits>::low);
}

QM_TARGET_PCLMUL QM_INLINE __m128i Load128(const unsigned char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

QM_TARGET_PCLMUL QM_INLINE __m128i Fold128(__m128i accumulator, __m128i multipliers,
                                           __m128i ahead) {
    const __m128i low = _mm_clmulepi64_si128(accumulator, multipliers, 0x00);
    const __m128i high = _mm_clmulepi64_si128(accumulator, multipliers, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), ahead);
}

// Folds the remaining whole blocks into `accumulator`, then finishes it and
// the last few bytes by slicing.
QM_TARGET_PCLMUL QM_INLINE uint32_t Finish128(__m128i accumulator, const unsigned char* data,
                                              size_t length) {
    const __m128i by128 = Multipliers128<128>();
    while (length >= 16) {
        accumulator = Fold128(accumulator, by128, Load128(data));
        data += 16;
        length -= 16;
    }
    alignas(16) unsigned char block[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(block), accumulator);
    return UpdateSlicing16(UpdateSlicing16(0, block, sizeof block), data, length);
}

// ---------------------------------------------------------------------------
// 256-bit vectors

template <unsigned bits>
QM_TARGET_VPCLMUL256 QM_INLINE __m256i Multipliers256() {
    return _mm256_set_epi64x(FoldPair<bits>::high, FoldPair<bits>::low, FoldPair<bits>::high,
                             FoldPair<bits>::low);
}

QM_TARGET_VPCLMUL256 QM_INLINE __m256i Load256(const unsigned char* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

QM_TARGET_VPCLMUL256 QM_INLINE __m256i Fold256(__m256i accumulator, __m256i multipliers,
                                               __m256i ahead) {
    const __m256i low = _mm256_clmulepi64_epi128(accumulator, multipliers, 0x00);
    const __m256i high = _mm256_clmulepi64_epi128(accumulator, multipliers, 0x11);
    return _mm256_xor_si256(_mm256_xor_si256(low, high), ahead);
}

// ---------------------------------------------------------------------------
// 512-bit vectors

template <unsigned bits>
QM_TARGET_VPCLMUL512 QM_INLINE __m512i Multipliers512() {
    return _mm512_set_epi64(FoldPair<bits>::high, FoldPair<bits>::low, FoldPair<bits>::high,
                            FoldPair<bits>::low, FoldPair<bits>::high, FoldPair<bits>::low,
                            FoldPair<bits>::high, FoldPair<bits>::low);
}

QM_TARGET_VPCLMUL512 QM_INLINE __m512i Load512(const unsigned char* p) {
    return _mm512_loadu_si512(p);
}

QM_TARGET_VPCLMUL512 QM_INLINE __m512i Fold512(__m512i accumulator, __m512i multipliers,
                                               __m512i ahead) {
    const __m512i low = _mm512_clmulepi64_epi128(accumulator, multipliers, 0x00);
    const __m512i high = _mm512_clmulepi64_epi128(accumulator, multipliers, 0x11);
    return _mm512_ternarylogic_epi64(low, high, ahead, 0x96);  // three-way XOR
}

}  // namespace

QM_TARGET_PCLMUL uint32_t UpdatePclmul(uint32_t crc, const unsigned char* data, size_t length) {
    if (length < 64) return UpdateSlicing16(crc, data, length);
    // The register enters as the first four bytes of the data.
    __m128i x0 = _mm_xor_si128(Load128(data), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x1 = Load128(data + 16);
    __m128i x2 = Load128(data + 32);
    __m128i x3 = Load128(data + 48);
    data += 64;
    length -= 64;

    const __m128i by512 = Multipliers128<512>();
    while (length >= 64) {
        x0 = Fold128(x0, by512, Load128(data));
        x1 = Fold128(x1, by512, Load128(data + 16));
        x2 = Fold128(x2, by512, Load128(data + 32));
        x3 = Fold128(x3, by512, Load128(data + 48));
        data += 64;
        length -= 64;
    }

    const __m128i by128 = Multipliers128<128>();
    x1 = Fold128(x0, by128, x1);
    x2 = Fold128(x1, by128, x2);
    x3 = Fold128(x2, by128, x3);
    return Finish128(x3, data, length);
}

QM_TARGET_VPCLMUL256 uint32_t UpdateVpclmul256(uint32_t crc, const unsigned char* data,
                                               size_t length) {
    if (length < 128) return UpdatePclmul(crc, data, length);
    __m256i y0 = _mm256_xor_si256(Load256(data),
                                  _mm256_setr_epi32(static_cast<int>(crc), 0, 0, 0, 0, 0, 0, 0));
    __m256i y1 = Load256(data + 32);
    __m256i y2 = Load256(data + 64);
    __m256i y3 = Load256(data + 96);
    data += 128;
    length -= 128;

    const __m256i by1024 = Multipliers256<1024>();
    while (length >= 128) {
        y0 = Fold256(y0, by1024, Load256(data));
        y1 = Fold256(y1, by1024, Load256(data + 32));
        y2 = Fold256(y2, by1024, Load256(data + 64));
        y3 = Fold256(y3, by1024, Load256(data + 96));
        data += 128;
        length -= 128;
    }

    const __m256i by256 = Multipliers256<256>();
    y1 = Fold256(y0, by256, y1);
    y2 = Fold256(y1, by256, y2);
    y3 = Fold256(y2, by256, y3);
    while (length >= 32) {
        y3 = Fold256(y3, by256, Load256(data));
        data += 32;
        length -= 32;
    }

    // The earlier half travels one block onto the later one.
    const __m128i x =
        Fold128(_mm256_castsi256_si128(y3), Multipliers128<128>(), _mm256_extracti128_si256(y3, 1));
    return Finish128(x, data, length);
}

QM_TARGET_VPCLMUL512 uint32_t UpdateVpclmul512(uint32_t crc, const unsigned char* data,
                                               size_t length) {
    if (length < 256) return UpdateVpclmul256(crc, data, length);
    __m512i z0 = _mm512_xor_si512(
        Load512(data),
        _mm512_set_epi32(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, static_cast<int>(crc)));
    __m512i z1 = Load512(data + 64);
    __m512i z2 = Load512(data + 128);
    __m512i z3 = Load512(data + 192);
    data += 256;
    length -= 256;

    const __m512i by2048 = Multipliers512<2048>();
    while (length >= 256) {
        z0 = Fold512(z0, by2048, Load512(data));
        z1 = Fold512(z1, by2048, Load512(data + 64));
        z2 = Fold512(z2, by2048, Load512(data + 128));
        z3 = Fold512(z3, by2048, Load512(data + 192));
        data += 256;
        length -= 256;
    }

    const __m512i by512 = Multipliers512<512>();
    z1 = Fold512(z0, by512, z1);
    z2 = Fold512(z1, by512, z2);
    z3 = Fold512(z2, by512, z3);
    while (length >= 64) {
        z3 = Fold512(z3, by512, Load512(data));
        data += 64;
        length -= 64;
    }

    // The four blocks of the vector travel 384, 256, 128 and 0 bits onto the
    // last one; the last block's multipliers are zero and it is added as is.
    const __m512i byLane =
        _mm512_set_epi64(0, 0, FoldPair<128>::high, FoldPair<128>::low, FoldPair<256>::high,
                         FoldPair<256>::low, FoldPair<384>::high, FoldPair<384>::low);
    const __m512i moved = _mm512_xor_si512(_mm512_clmulepi64_epi128(z3, byLane, 0x00),
                                           _mm512_clmulepi64_epi128(z3, byLane, 0x11));
    const __m128i x = _mm_xor_si128(
        _mm_xor_si128(_mm512_castsi512_si128(moved), _mm512_extracti32x4_epi32(moved, 1)),
        _mm_xor_si128(_mm512_extracti32x4_epi32(moved, 2), _mm512_extracti32x4_epi32(z3, 3)));
    return Finish128(x, data, length);
}

}  // namespace qm::crc32

#endif  // QM_CRC32_X86_FOLDING
