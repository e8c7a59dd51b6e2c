// The signing calls of the seam, on whichever side this program runs:
// natively OpenSSL's libcrypto, under Wine CNG. Published test vectors (the
// deterministic ECDSA P-256 with SHA-256 example of RFC 6979, and NIST's
// AES-256-GCM vector with a 60-byte text and 20 bytes of associated data)
// show that both compute the standard algorithms, so that a list signed on
// one system verifies on the other.
#include <gtest/gtest.h>

#include <string>

#include "core/HexText.h"
#include "core/Sha256.h"
#include "platform/Platform.h"

namespace {

using qm::Platform;

std::string Bytes(const char* hex) {
    std::string bytes;
    EXPECT_TRUE(qm::BytesFromHex(hex, std::char_traits<char>::length(hex) / 2, bytes)) << hex;
    return bytes;
}

std::string DigestOf(const std::string& text) {
    const qm::Sha256Digest digest = qm::Sha256(text);
    return std::string(reinterpret_cast<const char*>(digest.data()), digest.size());
}

std::string Flipped(std::string bytes, size_t at) {
    bytes[at] = static_cast<char>(bytes[at] ^ 0x01);
    return bytes;
}

// RFC 6979's P-256 example: the key, and the signature of "sample" with SHA-256.
const std::string kPublic = Bytes(
    "60fed4ba255a9d31c961eb74c6356d68c049b8923b61fa6ce669622e60f29fb6"
    "7903fe1008b8bc99a41ae9e95628bc64f2f1b20c2d7e9f5177a3c294d4462299");
const std::string kSecret =
    Bytes("c9afa9d845ba75166b5c215767b1d6934e50c3db36e89b127b8a622b120f6721");
const std::string kSignature = Bytes(
    "efd48b2aacb6a8fd1140dd9cd45e81d69d2c877b56aaf991c34d0ea84eaf3716"
    "f7cb1c942d657c41d436c7a1b6e29f65f3e900dbb9aff4064dc4ab2f843acda8");

TEST(SigningSeam, VerifiesThePublishedSignatureAndNothingChangedFromIt) {
    const std::string digest = DigestOf("sample");
    EXPECT_TRUE(Platform().VerifyDigest(kPublic, digest, kSignature));
    EXPECT_FALSE(Platform().VerifyDigest(kPublic, DigestOf("samplf"), kSignature));
    EXPECT_FALSE(Platform().VerifyDigest(kPublic, digest, Flipped(kSignature, 5)));
    EXPECT_FALSE(Platform().VerifyDigest(kPublic, digest, Flipped(kSignature, 40)));
    // A point off the curve, and blobs of the wrong size, are no key.
    EXPECT_FALSE(Platform().VerifyDigest(Flipped(kPublic, 63), digest, kSignature));
    EXPECT_FALSE(Platform().VerifyDigest(kPublic.substr(1), digest, kSignature));
    EXPECT_FALSE(Platform().VerifyDigest(kPublic, digest.substr(1), kSignature));
    EXPECT_FALSE(Platform().VerifyDigest(kPublic, digest, kSignature + '\0'));
    EXPECT_FALSE(Platform().VerifyDigest(std::string(64, '\0'), digest, kSignature));
}

TEST(SigningSeam, NewKeysAndThePublishedOneSignWhatTheirPublicHalfVerifies) {
    std::string publicKey;
    std::string privateKey;
    ASSERT_TRUE(Platform().NewSigningKey(publicKey, privateKey));
    ASSERT_EQ(publicKey.size(), 64u);
    ASSERT_EQ(privateKey.size(), 96u);
    EXPECT_EQ(privateKey.compare(0, 64, publicKey), 0);
    std::string otherPublic;
    std::string otherPrivate;
    ASSERT_TRUE(Platform().NewSigningKey(otherPublic, otherPrivate));
    EXPECT_NE(publicKey, otherPublic);

    const std::string digest = DigestOf("the release list");
    std::string signature;
    ASSERT_TRUE(Platform().SignDigest(privateKey, digest, signature));
    EXPECT_EQ(signature.size(), 64u);
    EXPECT_TRUE(Platform().VerifyDigest(publicKey, digest, signature));
    EXPECT_FALSE(Platform().VerifyDigest(otherPublic, digest, signature));

    // The published key as a private blob signs too.
    ASSERT_TRUE(Platform().SignDigest(kPublic + kSecret, digest, signature));
    EXPECT_TRUE(Platform().VerifyDigest(kPublic, digest, signature));
    EXPECT_FALSE(Platform().SignDigest(kPublic + kSecret.substr(1), digest, signature));
    EXPECT_FALSE(Platform().SignDigest(kPublic + kSecret, digest.substr(2), signature));
}

TEST(SigningSeam, AesGcmIsThePublishedOneAndOpensNothingChanged) {
    const std::string key =
        Bytes("feffe9928665731c6d6a8f9467308308feffe9928665731c6d6a8f9467308308");
    const std::string nonce = Bytes("cafebabefacedbaddecaf888");
    const std::string associated = Bytes("feedfacedeadbeeffeedfacedeadbeefabaddad2");
    const std::string plain = Bytes(
        "d9313225f88406e5a55909c5aff5269a86a7a9531534f7da2e4c303d8a318a72"
        "1c3c0c95956809532fcf0e2449a6b525b16aedf5aa0de657ba637b39");
    std::string sealed;
    ASSERT_TRUE(Platform().SealAesGcm(key, nonce, plain, associated, sealed));
    EXPECT_EQ(qm::HexText(sealed),
              "522dc1f099567d07f47f37a32a84427d643a8cdcbfe5c0c97598a2bd2555d1aa"
              "8cb08e48590dbb3da7b08b1056828838c5f61e6393ba7a0abcc9f662"
              "76fc6ece0f4e1768cddf8853bb2d551b");
    std::string opened;
    ASSERT_TRUE(Platform().OpenAesGcm(key, nonce, sealed, associated, opened));
    EXPECT_EQ(opened, plain);

    EXPECT_FALSE(Platform().OpenAesGcm(key, nonce, Flipped(sealed, 3), associated, opened));
    EXPECT_TRUE(opened.empty());
    EXPECT_FALSE(Platform().OpenAesGcm(key, nonce, Flipped(sealed, 70), associated, opened));
    EXPECT_FALSE(Platform().OpenAesGcm(key, nonce, sealed, Flipped(associated, 0), opened));
    EXPECT_FALSE(Platform().OpenAesGcm(Flipped(key, 31), nonce, sealed, associated, opened));
    EXPECT_FALSE(Platform().OpenAesGcm(key, Flipped(nonce, 0), sealed, associated, opened));
    EXPECT_FALSE(Platform().OpenAesGcm(key, nonce, sealed.substr(0, 15), associated, opened));

    // Nothing but the associated data.
    ASSERT_TRUE(Platform().SealAesGcm(key, nonce, "", associated, sealed));
    EXPECT_EQ(sealed.size(), 16u);
    EXPECT_TRUE(Platform().OpenAesGcm(key, nonce, sealed, associated, opened));
}

TEST(SigningSeam, RandomBytesAreFreshEachTime) {
    std::string first;
    std::string second;
    ASSERT_TRUE(Platform().RandomBytes(32, first));
    ASSERT_TRUE(Platform().RandomBytes(32, second));
    EXPECT_EQ(first.size(), 32u);
    EXPECT_NE(first, second);
}

}  // namespace
