// What the fuzz targets share: a check that stops the run with the broken
// property (libFuzzer then keeps the input as a crash), and the bytes of an
// input taken apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace qm::fuzz {

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, what);
    std::abort();
}

#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::qm::fuzz::Fail(#condition, __FILE__, __LINE__))

// Choices taken from an input's last bytes, from the end backwards, while
// the whole input stays the text under test: a seed is a file as it is, and
// the fuzzer steers the choices by changing the file's end. An input that
// has run out yields zeros.
class CChoices {
public:
    CChoices(const uint8_t* data, size_t size) : m_data(data), m_left(size) {}

    uint8_t Byte() { return m_left == 0 ? 0 : m_data[--m_left]; }
    // A number below `bound` (bound > 0), from two bytes.
    size_t Below(size_t bound) {
        const size_t high = Byte();
        return ((high << 8) | Byte()) % bound;
    }

private:
    const uint8_t* m_data;
    size_t m_left;
};

inline std::string_view AsText(const uint8_t* data, size_t size) {
    return std::string_view(reinterpret_cast<const char*>(data), size);
}

}  // namespace qm::fuzz
