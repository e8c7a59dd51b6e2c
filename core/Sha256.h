// SHA-256 (FIPS 180-4), HMAC-SHA-256 (RFC 2104) and PBKDF2-HMAC-SHA-256
// (RFC 8018), computed here: the digest that the release list keeps of every
// program file, and the one that keeps the update password out of the
// program's text and derives the key that seals the signing key. The rounds
// run in the fastest kernel the processor has (core/Sha256Kernels.h), or in
// the one a test or benchmark names.
//
// PBKDF2 stays ours, beside the system's libraries that do everything else
// of the signing: the password check is to take less than half a second,
// and its 600,000 iterations take 70 ms of processor time here in our
// kernel (natively and under Wine), 140 ms in OpenSSL's, and 620 ms in
// Wine's CNG, whose SHA-256 is plain C (scripts/bench-signing). The tests
// check it against OpenSSL natively and against CNG under Wine.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/Sha256Kernels.h"

namespace qm {

using Sha256Digest = std::array<uint8_t, 32>;

class CSha256 {
public:
    CSha256() : CSha256(sha256::BestKernel()) {}
    // With `kernel` for all of its blocks (the fastest one when the
    // processor lacks it).
    explicit CSha256(sha256::Kernel kernel);
    // Whole blocks go to the kernel straight from `data`; only a partial
    // block is kept for the next call.
    void Update(const void* data, size_t length);
    void Update(std::string_view text) { Update(text.data(), text.size()); }
    // The digest of everything given; the object must not be used after.
    Sha256Digest Finish();

    // Continues `a` over `dataA` and `b` over `dataB` at once: their whole
    // blocks side by side on this processor where a's kernel can (the SHA
    // extensions hash two streams in about the time of one). The digests
    // are those that each would have alone.
    static void UpdateBoth(CSha256& a, const void* dataA, size_t lengthA, CSha256& b,
                           const void* dataB, size_t lengthB);

private:
    sha256::CompressPairFunction m_pCompressPair;
    void (*m_pCompress)(uint32_t* state, const unsigned char* blocks, size_t count);
    std::array<uint32_t, 8> m_state;
    std::array<uint8_t, 64> m_block{};
    size_t m_blockUsed = 0;
    uint64_t m_length = 0;  // bytes given so far
};

Sha256Digest Sha256(std::string_view data, sha256::Kernel kernel = sha256::BestKernel());
// The digest as 64 lower-case hexadecimal digits, as the release list keeps it.
std::string Sha256Hex(const Sha256Digest& digest);
Sha256Digest HmacSha256(std::string_view key, std::string_view message,
                        sha256::Kernel kernel = sha256::BestKernel());
// The first 32 bytes of PBKDF2 with HMAC-SHA-256 (one block).
Sha256Digest Pbkdf2Sha256(std::string_view password, std::string_view salt, uint32_t iterations,
                          sha256::Kernel kernel = sha256::BestKernel());

}  // namespace qm
