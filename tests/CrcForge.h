// A file changed so that its CRC-32 stays what it was: CRC-32 is affine over
// GF(2), so four bytes chosen by solving 32 linear equations give any CRC
// wanted. This is how an attacker keeps a CRC while changing a program.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/Crc32Kernels.h"

namespace qm::test {

inline uint32_t CrcOf(const std::string& bytes) {
    return ~crc32::UpdateSlicing16(
        0xFFFFFFFFu, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

// `changed` with the four bytes at `at` (within it) chosen so that its
// CRC-32 equals `wanted`.
inline std::string WithCrc(std::string changed, size_t at, uint32_t wanted) {
    for (int i = 0; i < 4; ++i) changed[at + i] = 0;
    const uint32_t base = CrcOf(changed);
    // The effect of each of the 32 bits on the CRC, then Gaussian
    // elimination: basis[b] holds an effect with top bit b and the bits
    // that make it.
    std::array<uint32_t, 32> effect{}, bits{};
    std::array<bool, 32> used{};
    for (int bit = 0; bit < 32; ++bit) {
        std::string flipped = changed;
        flipped[at + bit / 8] = static_cast<char>(flipped[at + bit / 8] ^ (1 << (bit % 8)));
        uint32_t value = CrcOf(flipped) ^ base;
        uint32_t made = 1u << bit;
        for (int b = 31; b >= 0 && value != 0; --b) {
            if (!((value >> b) & 1)) continue;
            if (used[b]) {
                value ^= effect[b];
                made ^= bits[b];
            } else {
                used[b] = true;
                effect[b] = value;
                bits[b] = made;
                break;
            }
        }
    }
    uint32_t need = base ^ wanted;
    uint32_t choice = 0;
    for (int b = 31; b >= 0; --b) {
        if ((need >> b) & 1) {
            need ^= effect[b];
            choice ^= bits[b];
        }
    }
    for (int bit = 0; bit < 32; ++bit) {
        if ((choice >> bit) & 1) {
            changed[at + bit / 8] = static_cast<char>(changed[at + bit / 8] ^ (1 << (bit % 8)));
        }
    }
    return changed;
}

// The program `original` with ten bytes of its own replaced and four more
// chosen, so that size and CRC-32 stay those of the original.
inline std::string CraftedLike(const std::string& original) {
    std::string changed = original;
    changed.replace(original.size() / 4, 10, "EVIL EVIL!");
    return WithCrc(changed, original.size() / 2, CrcOf(original));
}

}  // namespace qm::test
