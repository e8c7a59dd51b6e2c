// Signing and its keys on the posix stand-in: OpenSSL's libcrypto does every
// step (the curve, the signatures, AES-GCM, the random source), through its
// EVP interface. The blobs are those of the seam (platform/Platform.h):
// fixed-size big-endian numbers, which libcrypto takes as an uncompressed
// point (04, X, Y), a private number d and DER-encoded signatures.
#include <openssl/core_names.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>
#include <openssl/rand.h>

#include <memory>
#include <string>

#include "platform/Platform.h"

namespace qm {

namespace {

constexpr size_t kCoordinate = 32;                  // one number of P-256
constexpr size_t kPublicBlob = 2 * kCoordinate;     // X, Y
constexpr size_t kPrivateBlob = 3 * kCoordinate;    // X, Y, d
constexpr size_t kSignatureBlob = 2 * kCoordinate;  // r, s
constexpr size_t kDigest = 32;                      // SHA-256
constexpr size_t kAesKey = 32;
constexpr size_t kGcmNonce = 12;
constexpr size_t kGcmTag = 16;
constexpr char kCurve[] = "prime256v1";

struct PkeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct PkeyContextFree {
    void operator()(EVP_PKEY_CTX* context) const { EVP_PKEY_CTX_free(context); }
};
struct CipherContextFree {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
struct ParamFree {
    void operator()(OSSL_PARAM* params) const { OSSL_PARAM_free(params); }
};
struct ParamBuildFree {
    void operator()(OSSL_PARAM_BLD* build) const { OSSL_PARAM_BLD_free(build); }
};
struct BignumFree {
    void operator()(BIGNUM* number) const { BN_clear_free(number); }
};
struct SignatureFree {
    void operator()(ECDSA_SIG* signature) const { ECDSA_SIG_free(signature); }
};
using Pkey = std::unique_ptr<EVP_PKEY, PkeyFree>;
using PkeyContext = std::unique_ptr<EVP_PKEY_CTX, PkeyContextFree>;
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree>;
using Bignum = std::unique_ptr<BIGNUM, BignumFree>;

const unsigned char* Bytes(const std::string& text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}
unsigned char* Bytes(std::string& text) { return reinterpret_cast<unsigned char*>(&text[0]); }

// A key of P-256 from a public blob, or from a private one (with d).
Pkey ImportKey(const std::string& blob, bool withPrivate) {
    if (blob.size() != (withPrivate ? kPrivateBlob : kPublicBlob)) return nullptr;
    const std::string point = '\x04' + blob.substr(0, kPublicBlob);
    std::unique_ptr<OSSL_PARAM_BLD, ParamBuildFree> build(OSSL_PARAM_BLD_new());
    Bignum secret;
    if (!build ||
        !OSSL_PARAM_BLD_push_utf8_string(build.get(), OSSL_PKEY_PARAM_GROUP_NAME, kCurve, 0) ||
        !OSSL_PARAM_BLD_push_octet_string(build.get(), OSSL_PKEY_PARAM_PUB_KEY, point.data(),
                                          point.size())) {
        return nullptr;
    }
    if (withPrivate) {
        secret.reset(BN_bin2bn(Bytes(blob) + kPublicBlob, kCoordinate, nullptr));
        if (!secret ||
            !OSSL_PARAM_BLD_push_BN(build.get(), OSSL_PKEY_PARAM_PRIV_KEY, secret.get())) {
            return nullptr;
        }
    }
    std::unique_ptr<OSSL_PARAM, ParamFree> params(OSSL_PARAM_BLD_to_param(build.get()));
    PkeyContext context(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
    EVP_PKEY* key = nullptr;
    if (!params || !context || EVP_PKEY_fromdata_init(context.get()) <= 0 ||
        EVP_PKEY_fromdata(context.get(), &key, withPrivate ? EVP_PKEY_KEYPAIR : EVP_PKEY_PUBLIC_KEY,
                          params.get()) <= 0) {
        return nullptr;
    }
    return Pkey(key);
}

// A number of the signature, as 32 big-endian bytes.
bool AppendNumber(const BIGNUM* number, std::string& out) {
    std::string bytes(kCoordinate, '\0');
    if (BN_bn2binpad(number, Bytes(bytes), kCoordinate) != static_cast<int>(kCoordinate)) {
        return false;
    }
    out += bytes;
    return true;
}

// The cipher of AES-256-GCM set up with key and nonce, and the associated
// data given.
CipherContext StartGcm(bool encrypt, const std::string& key, const std::string& nonce,
                       const std::string& associated) {
    if (key.size() != kAesKey || nonce.size() != kGcmNonce) return nullptr;
    CipherContext context(EVP_CIPHER_CTX_new());
    int length = 0;
    if (!context ||
        EVP_CipherInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr,
                          encrypt ? 1 : 0) != 1 ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_IVLEN, kGcmNonce, nullptr) != 1 ||
        EVP_CipherInit_ex(context.get(), nullptr, nullptr, Bytes(key), Bytes(nonce), -1) != 1 ||
        (!associated.empty() && EVP_CipherUpdate(context.get(), nullptr, &length, Bytes(associated),
                                                 static_cast<int>(associated.size())) != 1)) {
        return nullptr;
    }
    return context;
}

}  // namespace

bool IPlatform::RandomBytes(size_t count, std::string& bytes) {
    bytes.assign(count, '\0');
    return count == 0 || RAND_bytes(Bytes(bytes), static_cast<int>(count)) == 1;
}

bool IPlatform::NewSigningKey(std::string& publicKey, std::string& privateKey) {
    publicKey.clear();
    privateKey.clear();
    Pkey key(EVP_EC_gen(kCurve));
    if (!key) return false;
    unsigned char point[1 + kPublicBlob];
    size_t length = 0;
    BIGNUM* secret = nullptr;
    if (EVP_PKEY_get_octet_string_param(key.get(), OSSL_PKEY_PARAM_PUB_KEY, point, sizeof point,
                                        &length) != 1 ||
        length != sizeof point || point[0] != 0x04 ||
        EVP_PKEY_get_bn_param(key.get(), OSSL_PKEY_PARAM_PRIV_KEY, &secret) != 1) {
        return false;
    }
    Bignum owned(secret);
    publicKey.assign(reinterpret_cast<const char*>(point) + 1, kPublicBlob);
    privateKey = publicKey;
    if (!AppendNumber(secret, privateKey)) {
        publicKey.clear();
        privateKey.clear();
        return false;
    }
    return true;
}

bool IPlatform::SignDigest(const std::string& privateKey, const std::string& digest,
                           std::string& signature) {
    signature.clear();
    if (digest.size() != kDigest) return false;
    Pkey key = ImportKey(privateKey, true);
    if (!key) return false;
    PkeyContext context(EVP_PKEY_CTX_new(key.get(), nullptr));
    size_t length = 0;
    if (!context || EVP_PKEY_sign_init(context.get()) <= 0 ||
        EVP_PKEY_CTX_set_signature_md(context.get(), EVP_sha256()) <= 0 ||
        EVP_PKEY_sign(context.get(), nullptr, &length, Bytes(digest), digest.size()) <= 0) {
        return false;
    }
    std::string der(length, '\0');
    if (EVP_PKEY_sign(context.get(), Bytes(der), &length, Bytes(digest), digest.size()) <= 0) {
        return false;
    }
    const unsigned char* cursor = Bytes(der);
    std::unique_ptr<ECDSA_SIG, SignatureFree> parsed(
        d2i_ECDSA_SIG(nullptr, &cursor, static_cast<long>(length)));
    if (!parsed) return false;
    const BIGNUM* r = nullptr;
    const BIGNUM* s = nullptr;
    ECDSA_SIG_get0(parsed.get(), &r, &s);
    if (!AppendNumber(r, signature) || !AppendNumber(s, signature)) {
        signature.clear();
        return false;
    }
    return true;
}

bool IPlatform::VerifyDigest(const std::string& publicKey, const std::string& digest,
                             const std::string& signature) {
    if (digest.size() != kDigest || signature.size() != kSignatureBlob) return false;
    Pkey key = ImportKey(publicKey, false);
    if (!key) return false;
    std::unique_ptr<ECDSA_SIG, SignatureFree> parsed(ECDSA_SIG_new());
    BIGNUM* r = BN_bin2bn(Bytes(signature), kCoordinate, nullptr);
    BIGNUM* s = BN_bin2bn(Bytes(signature) + kCoordinate, kCoordinate, nullptr);
    if (!parsed || !r || !s || ECDSA_SIG_set0(parsed.get(), r, s) != 1) {
        BN_free(r);
        BN_free(s);
        return false;
    }
    unsigned char* der = nullptr;
    const int length = i2d_ECDSA_SIG(parsed.get(), &der);
    if (length <= 0) return false;
    std::unique_ptr<unsigned char, void (*)(unsigned char*)> owned(
        der, [](unsigned char* bytes) { OPENSSL_free(bytes); });
    PkeyContext context(EVP_PKEY_CTX_new(key.get(), nullptr));
    return context && EVP_PKEY_verify_init(context.get()) > 0 &&
           EVP_PKEY_CTX_set_signature_md(context.get(), EVP_sha256()) > 0 &&
           EVP_PKEY_verify(context.get(), der, static_cast<size_t>(length), Bytes(digest),
                           digest.size()) == 1;
}

bool IPlatform::SealAesGcm(const std::string& key, const std::string& nonce,
                           const std::string& plain, const std::string& associated,
                           std::string& sealed) {
    sealed.clear();
    CipherContext context = StartGcm(true, key, nonce, associated);
    if (!context) return false;
    std::string out(plain.size() + kGcmTag, '\0');
    int length = 0;
    int final = 0;
    if ((!plain.empty() && EVP_CipherUpdate(context.get(), Bytes(out), &length, Bytes(plain),
                                            static_cast<int>(plain.size())) != 1) ||
        EVP_CipherFinal_ex(context.get(), Bytes(out) + length, &final) != 1 ||
        static_cast<size_t>(length + final) != plain.size() ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, kGcmTag,
                            Bytes(out) + plain.size()) != 1) {
        return false;
    }
    sealed = std::move(out);
    return true;
}

bool IPlatform::OpenAesGcm(const std::string& key, const std::string& nonce,
                           const std::string& sealed, const std::string& associated,
                           std::string& plain) {
    plain.clear();
    if (sealed.size() < kGcmTag) return false;
    CipherContext context = StartGcm(false, key, nonce, associated);
    if (!context) return false;
    const size_t textLength = sealed.size() - kGcmTag;
    std::string tag = sealed.substr(textLength);
    std::string out(textLength, '\0');
    int length = 0;
    int final = 0;
    if ((textLength > 0 && EVP_CipherUpdate(context.get(), Bytes(out), &length, Bytes(sealed),
                                            static_cast<int>(textLength)) != 1) ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, kGcmTag, Bytes(tag)) != 1 ||
        EVP_CipherFinal_ex(context.get(), Bytes(out) + length, &final) != 1) {
        OPENSSL_cleanse(Bytes(out), out.size());
        return false;
    }
    plain = std::move(out);
    return true;
}

}  // namespace qm
