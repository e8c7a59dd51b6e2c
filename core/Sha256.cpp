#include "core/Sha256.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/Sha256Kernels.h"

namespace qm {

namespace {

// The first 32 bits of the fractional parts of the square roots of the
// first eight primes.
constexpr std::array<uint32_t, 8> kInitialState = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

}  // namespace

CSha256::CSha256() : m_pCompress(sha256::ActiveKernelFunction()), m_state(kInitialState) {}

void CSha256::Update(const void* data, size_t length) {
    if (length == 0) return;
    const auto* bytes = static_cast<const uint8_t*>(data);
    m_length += length;
    if (m_blockUsed > 0) {
        const size_t take = std::min(length, m_block.size() - m_blockUsed);
        std::memcpy(m_block.data() + m_blockUsed, bytes, take);
        m_blockUsed += take;
        bytes += take;
        length -= take;
        if (m_blockUsed < m_block.size()) return;
        m_pCompress(m_state.data(), m_block.data(), 1);
        m_blockUsed = 0;
    }
    const size_t wholeBlocks = length / m_block.size();
    if (wholeBlocks > 0) {
        m_pCompress(m_state.data(), bytes, wholeBlocks);
        bytes += wholeBlocks * m_block.size();
        length -= wholeBlocks * m_block.size();
    }
    if (length > 0) {
        std::memcpy(m_block.data(), bytes, length);
        m_blockUsed = length;
    }
}

Sha256Digest CSha256::Finish() {
    // The padding: one bit, zeros up to 8 bytes before a block's end, and
    // the length in bits, big-endian.
    const uint64_t bits = m_length * 8;
    m_block[m_blockUsed++] = 0x80;
    constexpr size_t kLengthAt = 56;
    if (m_blockUsed > kLengthAt) {
        std::memset(m_block.data() + m_blockUsed, 0, m_block.size() - m_blockUsed);
        m_pCompress(m_state.data(), m_block.data(), 1);
        m_blockUsed = 0;
    }
    std::memset(m_block.data() + m_blockUsed, 0, kLengthAt - m_blockUsed);
    for (int i = 0; i < 8; ++i) m_block[kLengthAt + i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
    m_pCompress(m_state.data(), m_block.data(), 1);
    m_blockUsed = 0;
    Sha256Digest digest;
    for (int i = 0; i < 8; ++i) {
        for (int k = 0; k < 4; ++k) {
            digest[4 * i + k] = static_cast<uint8_t>(m_state[i] >> (24 - 8 * k));
        }
    }
    return digest;
}

Sha256Digest Sha256(std::string_view data) {
    CSha256 hash;
    hash.Update(data);
    return hash.Finish();
}

std::string Sha256Hex(const Sha256Digest& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(2 * digest.size(), '0');
    for (size_t i = 0; i < digest.size(); ++i) {
        text[2 * i] = kDigits[digest[i] >> 4];
        text[2 * i + 1] = kDigits[digest[i] & 0xF];
    }
    return text;
}

namespace {

// HMAC's two keyed starts: the hash after the key's inner and outer pads,
// made once, so that each message costs only its own blocks.
struct HmacStarts {
    CSha256 inner;
    CSha256 outer;
};

HmacStarts KeyedStarts(std::string_view key) {
    std::array<uint8_t, 64> block{};
    if (key.size() > block.size()) {
        const Sha256Digest hashedKey = Sha256(key);
        std::memcpy(block.data(), hashedKey.data(), hashedKey.size());
    } else if (!key.empty()) {
        std::memcpy(block.data(), key.data(), key.size());
    }
    std::array<uint8_t, 64> inner;
    std::array<uint8_t, 64> outer;
    for (size_t i = 0; i < block.size(); ++i) {
        inner[i] = block[i] ^ 0x36;
        outer[i] = block[i] ^ 0x5c;
    }
    HmacStarts starts;
    starts.inner.Update(inner.data(), inner.size());
    starts.outer.Update(outer.data(), outer.size());
    return starts;
}

Sha256Digest Hmac(const HmacStarts& starts, const void* message, size_t length) {
    CSha256 inner = starts.inner;
    inner.Update(message, length);
    const Sha256Digest innerDigest = inner.Finish();
    CSha256 outer = starts.outer;
    outer.Update(innerDigest.data(), innerDigest.size());
    return outer.Finish();
}

}  // namespace

Sha256Digest HmacSha256(std::string_view key, std::string_view message) {
    return Hmac(KeyedStarts(key), message.data(), message.size());
}

Sha256Digest Pbkdf2Sha256(std::string_view password, std::string_view salt, uint32_t iterations) {
    const HmacStarts starts = KeyedStarts(password);
    std::string first(salt);
    first.append("\0\0\0\1", 4);  // block index 1
    Sha256Digest u = Hmac(starts, first.data(), first.size());
    Sha256Digest result = u;
    for (uint32_t i = 1; i < iterations; ++i) {
        u = Hmac(starts, u.data(), u.size());
        for (size_t k = 0; k < result.size(); ++k) result[k] ^= u[k];
    }
    return result;
}

}  // namespace qm
