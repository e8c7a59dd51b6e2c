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

CSha256::CSha256(sha256::Kernel kernel)
    : m_pCompressPair(sha256::FunctionsOf(kernel).two),
      m_pCompress(sha256::FunctionsOf(kernel).one),
      m_state(kInitialState) {}

void CSha256::UpdateBoth(CSha256& a, const void* dataA, size_t lengthA, CSha256& b,
                         const void* dataB, size_t lengthB) {
    const auto* bytesA = static_cast<const uint8_t*>(dataA);
    const auto* bytesB = static_cast<const uint8_t*>(dataB);
    // Side by side only from a block's start: a partial block waiting in
    // either goes first, one stream at a time.
    const size_t blocks =
        a.m_blockUsed == 0 && b.m_blockUsed == 0 ? std::min(lengthA, lengthB) / 64 : 0;
    if (blocks > 0) {
        a.m_pCompressPair(a.m_state.data(), bytesA, b.m_state.data(), bytesB, blocks);
        const size_t done = blocks * 64;
        a.m_length += done;
        b.m_length += done;
        bytesA += done;
        bytesB += done;
        lengthA -= done;
        lengthB -= done;
    }
    a.Update(bytesA, lengthA);
    b.Update(bytesB, lengthB);
}

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

Sha256Digest Sha256(std::string_view data, sha256::Kernel kernel) {
    CSha256 hash(kernel);
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

HmacStarts KeyedStarts(std::string_view key, sha256::Kernel kernel) {
    std::array<uint8_t, 64> block{};
    if (key.size() > block.size()) {
        const Sha256Digest hashedKey = Sha256(key, kernel);
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
    HmacStarts starts{CSha256(kernel), CSha256(kernel)};
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

Sha256Digest HmacSha256(std::string_view key, std::string_view message, sha256::Kernel kernel) {
    return Hmac(KeyedStarts(key, kernel), message.data(), message.size());
}

Sha256Digest Pbkdf2Sha256(std::string_view password, std::string_view salt, uint32_t iterations,
                          sha256::Kernel kernel) {
    const HmacStarts starts = KeyedStarts(password, kernel);
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
