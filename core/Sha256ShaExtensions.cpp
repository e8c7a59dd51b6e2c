// The SHA-256 compression function on the x86 SHA extensions (after Intel's
// "New Instructions Supporting the Secure Hash Algorithm on Intel
// Architecture Processors"). sha256rnds2 runs two rounds on the state held
// as the pairs ABEF and CDGH; sha256msg1 and sha256msg2 extend the message
// schedule four words at a time. SSSE3 swaps the bytes of the message words,
// SSE4.1 blends the state into and out of that order.
//
// This runs only after a run-time check of the processor, so the functions
// carry their instruction sets as target attributes rather than the whole
// build.
#include "core/Sha256Kernels.h"

#if QM_SHA256_X86_SHA_EXTENSIONS

#include <immintrin.h>

#define QM_TARGET_SHA __attribute__((target("sha,sse4.1,ssse3")))
#define QM_INLINE inline __attribute__((always_inline))

namespace qm::sha256 {

namespace {

QM_TARGET_SHA QM_INLINE __m128i Load128(const void* p) {
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
}

// Four message words in the order of the rounds: big-endian in the block.
QM_TARGET_SHA QM_INLINE __m128i LoadMessage(const unsigned char* p) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    return _mm_shuffle_epi8(Load128(p), byteSwap);
}

// Four rounds with the words `message` and the constants of rounds
// 4 * quad to 4 * quad + 3.
QM_TARGET_SHA QM_INLINE void FourRounds(__m128i& abef, __m128i& cdgh, __m128i message, int quad) {
    __m128i words = _mm_add_epi32(message, Load128(kRoundConstants + 4 * quad));
    cdgh = _mm_sha256rnds2_epu32(cdgh, abef, words);
    words = _mm_shuffle_epi32(words, 0x0E);  // the upper two words
    abef = _mm_sha256rnds2_epu32(abef, cdgh, words);
}

// The next four words of the schedule from the sixteen before them, oldest
// first: w[i] = s1(w[i-2]) + w[i-7] + s0(w[i-15]) + w[i-16].
QM_TARGET_SHA QM_INLINE __m128i NextMessage(__m128i w0, __m128i w4, __m128i w8, __m128i w12) {
    const __m128i partial =
        _mm_add_epi32(_mm_sha256msg1_epu32(w0, w4), _mm_alignr_epi8(w12, w8, 4));  // w[i-7]
    return _mm_sha256msg2_epu32(partial, w12);
}

}  // namespace

QM_TARGET_SHA void CompressShaExtensions(uint32_t* state, const unsigned char* blocks,
                                         size_t count) {
    // A B C D and E F G H into the pairs the instructions work on.
    const __m128i dcba = Load128(state);
    const __m128i hgfe = Load128(state + 4);
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; count > 0; --count, blocks += 64) {
        const __m128i abefBefore = abef;
        const __m128i cdghBefore = cdgh;
        __m128i m0 = LoadMessage(blocks);
        __m128i m1 = LoadMessage(blocks + 16);
        __m128i m2 = LoadMessage(blocks + 32);
        __m128i m3 = LoadMessage(blocks + 48);
        FourRounds(abef, cdgh, m0, 0);
        FourRounds(abef, cdgh, m1, 1);
        FourRounds(abef, cdgh, m2, 2);
        FourRounds(abef, cdgh, m3, 3);
        for (int quad = 4; quad < 16; quad += 4) {
            m0 = NextMessage(m0, m1, m2, m3);
            FourRounds(abef, cdgh, m0, quad);
            m1 = NextMessage(m1, m2, m3, m0);
            FourRounds(abef, cdgh, m1, quad + 1);
            m2 = NextMessage(m2, m3, m0, m1);
            FourRounds(abef, cdgh, m2, quad + 2);
            m3 = NextMessage(m3, m0, m1, m2);
            FourRounds(abef, cdgh, m3, quad + 3);
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }

    // And back to A B C D, E F G H.
    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

}  // namespace qm::sha256

#endif  // QM_SHA256_X86_SHA_EXTENSIONS
