#include "core/Sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/Sha256Kernels.h"

#if QM_TESTS_HAVE_OPENSSL
#include <openssl/evp.h>
#endif

namespace qm {
namespace {

using sha256::Kernel;

std::vector<Kernel> AvailableKernels() {
    std::vector<Kernel> kernels;
    for (Kernel k : sha256::kAllKernels) {
        if (sha256::IsAvailable(k)) kernels.push_back(k);
    }
    return kernels;
}

std::vector<unsigned char> RandomBytes(size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<unsigned char> bytes(count);
    for (auto& b : bytes) b = static_cast<unsigned char>(random());
    return bytes;
}

std::string Hex(Kernel kernel, const void* data, size_t length) {
    CSha256 hash(kernel);
    hash.Update(data, length);
    return Sha256Hex(hash.Finish());
}

// The digest from an independent implementation: OpenSSL's where the tests
// have it (natively), otherwise our portable kernel, so that under Wine the
// processor's kernel is checked against that one.
std::string ReferenceHex(const unsigned char* data, size_t length) {
#if QM_TESTS_HAVE_OPENSSL
    Sha256Digest digest{};
    unsigned int size = 0;
    EXPECT_EQ(1, EVP_Digest(data, length, digest.data(), &size, EVP_sha256(), nullptr));
    return Sha256Hex(digest);
#else
    return Hex(Kernel::Portable, data, length);
#endif
}

TEST(Sha256, GivesThePublishedDigestsInEveryKernel) {
    const std::string million(1000000, 'a');
    for (Kernel kernel : AvailableKernels()) {
        SCOPED_TRACE(sha256::KernelName(kernel));
        const auto hex = [kernel](std::string_view text) {
            return Sha256Hex(Sha256(text, kernel));
        };
        EXPECT_EQ(hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
        EXPECT_EQ(hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
        EXPECT_EQ(hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
                  "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
        EXPECT_EQ(hex("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijkl"
                      "mnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu"),
                  "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
        EXPECT_EQ(hex(million), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
        // The password digest rests on HMAC (RFC 4231, cases 2 and 6: a key
        // longer than a block is hashed first) and PBKDF2 (RFC 7914 and the
        // usual vectors for more than one iteration).
        EXPECT_EQ(Sha256Hex(HmacSha256("Jefe", "what do ya want for nothing?", kernel)),
                  "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
        EXPECT_EQ(
            Sha256Hex(HmacSha256(std::string(131, '\xaa'),
                                 "Test Using Larger Than Block-Size Key - Hash Key First", kernel)),
            "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
        EXPECT_EQ(Sha256Hex(Pbkdf2Sha256("passwd", "salt", 1, kernel)),
                  "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc");
        EXPECT_EQ(Sha256Hex(Pbkdf2Sha256("password", "salt", 4096, kernel)),
                  "c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a");
    }
}

TEST(Sha256, AgreesWithTheReferenceOnEveryShortLengthAndAlignment) {
    const std::vector<unsigned char> data = RandomBytes(1024 + 16, 1);
    for (size_t length = 0; length <= 1024; ++length) {
        // Odd starts as well, since the kernels read straight from the
        // caller's buffer.
        const size_t offset = length % 16;
        const unsigned char* start = data.data() + offset;
        const std::string expected = ReferenceHex(start, length);
        for (Kernel kernel : AvailableKernels()) {
            if (Hex(kernel, start, length) != expected) {
                ADD_FAILURE() << sha256::KernelName(kernel) << " length " << length;
                return;
            }
        }
    }
}

TEST(Sha256, GivesTheSameDigestForAnySplitIntoPieces) {
    const std::vector<unsigned char> data = RandomBytes((1 << 20) + 77, 2);
    const std::string expected = ReferenceHex(data.data(), data.size());
    std::mt19937 random(3);
    for (Kernel kernel : AvailableKernels()) {
        SCOPED_TRACE(sha256::KernelName(kernel));
        EXPECT_EQ(Hex(kernel, data.data(), data.size()), expected);
        for (int split = 0; split < 4; ++split) {
            // Pieces of every size class: empty, within a block, and many
            // blocks with a remainder.
            const size_t largest = split % 2 == 0 ? 130 : 70000;
            CSha256 hash(kernel);
            for (size_t at = 0; at < data.size();) {
                const size_t piece = std::min<size_t>(random() % largest, data.size() - at);
                hash.Update(piece == 0 ? nullptr : data.data() + at, piece);
                at += piece;
            }
            EXPECT_EQ(Sha256Hex(hash.Finish()), expected) << "split " << split;
        }
    }
}

TEST(Sha256, TwoStreamsSideBySideGiveTheDigestsOfEachAlone) {
    const std::vector<unsigned char> data = RandomBytes(70000 + 200, 4);
    const unsigned char* other = data.data() + 100;
    for (Kernel kernel : AvailableKernels()) {
        SCOPED_TRACE(sha256::KernelName(kernel));
        for (const size_t lengthA : {0, 63, 64, 65, 1000, 70000}) {
            for (const size_t lengthB : {0, 64, 129, 70000}) {
                // From a block's start, and with a partial block waiting.
                for (const size_t first : {0, 5}) {
                    CSha256 a(kernel);
                    CSha256 b(kernel);
                    a.Update(data.data(), first);
                    CSha256::UpdateBoth(a, data.data() + first, lengthA, b, other, lengthB);
                    EXPECT_EQ(Sha256Hex(a.Finish()), ReferenceHex(data.data(), first + lengthA))
                        << lengthA << " " << lengthB << " " << first;
                    EXPECT_EQ(Sha256Hex(b.Finish()), ReferenceHex(other, lengthB))
                        << lengthA << " " << lengthB << " " << first;
                }
            }
        }
    }
}

}  // namespace
}  // namespace qm
