#include "core/NameSlots.h"

#include <chrono>

namespace qm {

namespace {

uint64_t ProcessStart() {
    static const uint64_t start =
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                              reinterpret_cast<uintptr_t>(&start));
    return start;
}

}  // namespace

uint64_t FoldedNameHash(std::string_view name, uint64_t seed) {
    // FNV-1a over the folded bytes, then a finaliser that spreads every byte
    // over the low bits that choose the slot.
    uint64_t hash = 0xcbf29ce484222325ull ^ ProcessStart() ^ (seed * 0x9E3779B97F4A7C15ull);
    for (char c : name) {
        hash ^= static_cast<unsigned char>(AsciiLower(c));
        hash *= 0x100000001b3ull;
    }
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdull;
    hash ^= hash >> 33;
    return hash;
}

}  // namespace qm
