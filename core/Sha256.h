// SHA-256 (FIPS 180-4), HMAC-SHA-256 (RFC 2104) and PBKDF2-HMAC-SHA-256
// (RFC 8018), computed here: the digest that keeps the update password out
// of the program's text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qm {

using Sha256Digest = std::array<uint8_t, 32>;

class CSha256 {
public:
    CSha256();
    void Update(const void* data, size_t length);
    void Update(std::string_view text) { Update(text.data(), text.size()); }
    // The digest of everything given; the object must not be used after.
    Sha256Digest Finish();

private:
    void Compress(const uint8_t* block);

    std::array<uint32_t, 8> m_state;
    std::array<uint8_t, 64> m_block{};
    size_t m_blockUsed = 0;
    uint64_t m_length = 0;  // bytes given so far
};

Sha256Digest Sha256(std::string_view data);
Sha256Digest HmacSha256(std::string_view key, std::string_view message);
// The first 32 bytes of PBKDF2 with HMAC-SHA-256 (one block).
Sha256Digest Pbkdf2Sha256(std::string_view password, std::string_view salt, uint32_t iterations);

}  // namespace qm
