// The SHA-256 compression function in standard C++, for processors without
// the SHA extensions. What makes it fast:
//  - the eight working variables stay in locals across all blocks of a call,
//    and the rounds are written out so that the variables change roles
//    instead of moving through eight assignments per round;
//  - the message schedule is a ring of sixteen words, each extended just
//    before the round that needs it, so that no 64-word array is filled and
//    read back;
//  - Ch and Maj in their three-operation forms, where Maj's (a ^ b) is the
//    next round's (b ^ c), which the compiler keeps.
#include "core/Sha256Kernels.h"

namespace qm::sha256 {

namespace {

#if defined(__GNUC__)
#define QM_SHA256_INLINE inline __attribute__((always_inline))
#else
#define QM_SHA256_INLINE inline
#endif

QM_SHA256_INLINE uint32_t RotateRight(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

// Big-endian load that compiles to a load and a byte swap.
QM_SHA256_INLINE uint32_t LoadBigEndian32(const unsigned char* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

QM_SHA256_INLINE uint32_t BigSigma0(uint32_t a) {
    return RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22);
}
QM_SHA256_INLINE uint32_t BigSigma1(uint32_t e) {
    return RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25);
}
QM_SHA256_INLINE uint32_t SmallSigma0(uint32_t w) {
    return RotateRight(w, 7) ^ RotateRight(w, 18) ^ (w >> 3);
}
QM_SHA256_INLINE uint32_t SmallSigma1(uint32_t w) {
    return RotateRight(w, 17) ^ RotateRight(w, 19) ^ (w >> 10);
}

// One round. The caller passes the variables rotated by one place per round,
// so only d and h are written: d becomes the next e, h the next a.
QM_SHA256_INLINE void Round(uint32_t a, uint32_t b, uint32_t c, uint32_t& d, uint32_t e, uint32_t f,
                            uint32_t g, uint32_t& h, uint32_t constantPlusWord) {
    h += BigSigma1(e) + (g ^ (e & (f ^ g))) + constantPlusWord;
    d += h;
    h += BigSigma0(a) + (((a ^ b) & (b ^ c)) ^ b);
}

// Extends the ring by one word: w[i] for i >= 16, kept where w[i - 16] was.
QM_SHA256_INLINE uint32_t Extend(uint32_t* w, int i) {
    w[i & 15] += SmallSigma1(w[(i - 2) & 15]) + w[(i - 7) & 15] + SmallSigma0(w[(i - 15) & 15]);
    return w[i & 15];
}

// The word of round i: from the ring in the first sixteen rounds, extended
// on the way after them.
template <bool kExtend>
QM_SHA256_INLINE uint32_t Word(uint32_t* w, int i) {
    if constexpr (kExtend) {
        return Extend(w, i);
    } else {
        return w[i];
    }
}

template <bool kExtend>
QM_SHA256_INLINE void EightRounds(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, uint32_t& e,
                                  uint32_t& f, uint32_t& g, uint32_t& h, uint32_t* w, int first) {
    const uint32_t* k = kRoundConstants + first;
    Round(a, b, c, d, e, f, g, h, k[0] + Word<kExtend>(w, first));
    Round(h, a, b, c, d, e, f, g, k[1] + Word<kExtend>(w, first + 1));
    Round(g, h, a, b, c, d, e, f, k[2] + Word<kExtend>(w, first + 2));
    Round(f, g, h, a, b, c, d, e, k[3] + Word<kExtend>(w, first + 3));
    Round(e, f, g, h, a, b, c, d, k[4] + Word<kExtend>(w, first + 4));
    Round(d, e, f, g, h, a, b, c, k[5] + Word<kExtend>(w, first + 5));
    Round(c, d, e, f, g, h, a, b, k[6] + Word<kExtend>(w, first + 6));
    Round(b, c, d, e, f, g, h, a, k[7] + Word<kExtend>(w, first + 7));
}

}  // namespace

void CompressPortable(uint32_t* state, const unsigned char* blocks, size_t count) {
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
    for (; count > 0; --count, blocks += 64) {
        uint32_t w[16];
        for (int i = 0; i < 16; ++i) w[i] = LoadBigEndian32(blocks + 4 * i);
        const uint32_t a0 = a, b0 = b, c0 = c, d0 = d, e0 = e, f0 = f, g0 = g, h0 = h;
        EightRounds<false>(a, b, c, d, e, f, g, h, w, 0);
        EightRounds<false>(a, b, c, d, e, f, g, h, w, 8);
        // Written out: a loop here would keep the compiler from folding the
        // constants into the rounds.
        EightRounds<true>(a, b, c, d, e, f, g, h, w, 16);
        EightRounds<true>(a, b, c, d, e, f, g, h, w, 24);
        EightRounds<true>(a, b, c, d, e, f, g, h, w, 32);
        EightRounds<true>(a, b, c, d, e, f, g, h, w, 40);
        EightRounds<true>(a, b, c, d, e, f, g, h, w, 48);
        EightRounds<true>(a, b, c, d, e, f, g, h, w, 56);
        a += a0;
        b += b0;
        c += c0;
        d += d0;
        e += e0;
        f += f0;
        g += g0;
        h += h0;
    }
    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
    state[4] = e;
    state[5] = f;
    state[6] = g;
    state[7] = h;
}

// The portable rounds take one stream after the other.
void CompressPairPortable(uint32_t* stateA, const unsigned char* blocksA, uint32_t* stateB,
                          const unsigned char* blocksB, size_t count) {
    CompressPortable(stateA, blocksA, count);
    CompressPortable(stateB, blocksB, count);
}

}  // namespace qm::sha256
