// An index from names to numbers that keeps no copy of the names: open
// addressing over 4-byte slots, at most half of them taken, probed in a row.
// The names stay where they are (in the lines of the profile engine); the
// caller hashes them and tells whether a number is the one looked for. So a
// file of millions of short keys costs a few bytes a key here, not a copy of
// every name with a node around it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/AsciiCase.h"

namespace qm {

class CNameSlots {
public:
    static constexpr uint32_t kNone = UINT32_MAX;

    void Clear() {
        m_slots.clear();
        m_count = 0;
    }

    // The number whose name has `hash` and for which `isWanted(number)` holds.
    template <class IsWanted>
    uint32_t Find(uint64_t hash, IsWanted isWanted) const {
        if (m_slots.empty()) return kNone;
        const size_t mask = m_slots.size() - 1;
        for (size_t i = static_cast<size_t>(hash) & mask;; i = (i + 1) & mask) {
            const uint32_t number = m_slots[i];
            if (number == kNone || isWanted(number)) return number;
        }
    }

    // Adds a number that is not in the index yet; `hashOf(number)` gives the
    // hash of any number already in it, for when the slots grow.
    template <class HashOf>
    void Add(uint64_t hash, uint32_t number, HashOf hashOf) {
        if ((m_count + 1) * 2 > m_slots.size()) {
            std::vector<uint32_t> old;
            old.swap(m_slots);
            m_slots.assign(SlotsFor(m_count + 1), kNone);
            for (uint32_t kept : old) {
                if (kept != kNone) Place(hashOf(kept), kept);
            }
        }
        Place(hash, number);
        ++m_count;
    }

private:
    // A power of two with at least twice as many slots as numbers.
    static size_t SlotsFor(size_t count) {
        size_t size = 16;
        while (size < count * 2) size *= 2;
        return size;
    }

    void Place(uint64_t hash, uint32_t number) {
        const size_t mask = m_slots.size() - 1;
        size_t i = static_cast<size_t>(hash) & mask;
        while (m_slots[i] != kNone) i = (i + 1) & mask;
        m_slots[i] = number;
    }

    std::vector<uint32_t> m_slots;
    size_t m_count = 0;
};

// The hash of a name as the profile engine matches names: ASCII letters
// without regard to case. `seed` mixes in what else tells two names apart
// (the section of a key). The start value differs from process to process,
// so that no file can be made to put all its names into one row of slots.
uint64_t FoldedNameHash(std::string_view name, uint64_t seed);

}  // namespace qm
