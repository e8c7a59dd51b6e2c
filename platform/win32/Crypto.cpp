// Signing and its keys on Windows: CNG (bcrypt.dll) does every step, with
// the fixed P-256 provider (Windows has it since Vista, Wine 8 too, where
// GnuTLS does the curve; the generic "ECDSA" provider is missing there).
// The blobs of the seam are CNG's own key blobs without their header: a
// BCRYPT_ECCKEY_BLOB header and X, Y (public) or X, Y, d (private).
#include <windows.h>

#include <bcrypt.h>

#include <cstring>
#include <string>

#include "platform/Platform.h"

namespace qm {

namespace {

constexpr ULONG kCoordinate = 32;
constexpr ULONG kDigest = 32;
constexpr ULONG kSignatureBlob = 2 * kCoordinate;
constexpr ULONG kAesKey = 32;
constexpr ULONG kGcmNonce = 12;
constexpr ULONG kGcmTag = 16;

bool Succeeded(NTSTATUS status) { return status >= 0; }

PUCHAR Bytes(const std::string& text) {
    return reinterpret_cast<PUCHAR>(const_cast<char*>(text.data()));
}

// An algorithm provider, closed with its object.
class Provider {
public:
    explicit Provider(LPCWSTR algorithm) {
        if (!Succeeded(BCryptOpenAlgorithmProvider(&m_handle, algorithm, nullptr, 0))) {
            m_handle = nullptr;
        }
    }
    ~Provider() {
        if (m_handle) BCryptCloseAlgorithmProvider(m_handle, 0);
    }
    Provider(const Provider&) = delete;
    Provider& operator=(const Provider&) = delete;
    BCRYPT_ALG_HANDLE Get() const { return m_handle; }

private:
    BCRYPT_ALG_HANDLE m_handle = nullptr;
};

// A key, destroyed with its object.
class Key {
public:
    Key() = default;
    ~Key() {
        if (m_handle) BCryptDestroyKey(m_handle);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    BCRYPT_KEY_HANDLE* Out() { return &m_handle; }
    BCRYPT_KEY_HANDLE Get() const { return m_handle; }

private:
    BCRYPT_KEY_HANDLE m_handle = nullptr;
};

// A P-256 key from a blob of the seam: the CNG header put before it.
bool ImportKey(const Provider& provider, const std::string& blob, bool withPrivate, Key& key) {
    const ULONG numbers = withPrivate ? 3 : 2;
    if (!provider.Get() || blob.size() != numbers * kCoordinate) return false;
    BCRYPT_ECCKEY_BLOB header;
    header.dwMagic = withPrivate ? BCRYPT_ECDSA_PRIVATE_P256_MAGIC : BCRYPT_ECDSA_PUBLIC_P256_MAGIC;
    header.cbKey = kCoordinate;
    std::string cng(reinterpret_cast<const char*>(&header), sizeof header);
    cng += blob;
    const NTSTATUS status = BCryptImportKeyPair(
        provider.Get(), nullptr, withPrivate ? BCRYPT_ECCPRIVATE_BLOB : BCRYPT_ECCPUBLIC_BLOB,
        key.Out(), Bytes(cng), static_cast<ULONG>(cng.size()), 0);
    SecureZeroMemory(&cng[0], cng.size());
    return Succeeded(status);
}

// A key's blob of the seam: CNG's export without its header.
bool ExportKey(const Key& key, bool withPrivate, std::string& blob) {
    const ULONG numbers = withPrivate ? 3 : 2;
    std::string cng(sizeof(BCRYPT_ECCKEY_BLOB) + numbers * kCoordinate, '\0');
    ULONG length = 0;
    const NTSTATUS status = BCryptExportKey(
        key.Get(), nullptr, withPrivate ? BCRYPT_ECCPRIVATE_BLOB : BCRYPT_ECCPUBLIC_BLOB,
        Bytes(cng), static_cast<ULONG>(cng.size()), &length, 0);
    BCRYPT_ECCKEY_BLOB header;
    std::memcpy(&header, cng.data(), sizeof header);
    const bool whole = Succeeded(status) && length == cng.size() && header.cbKey == kCoordinate;
    if (whole) blob = cng.substr(sizeof header);
    SecureZeroMemory(&cng[0], cng.size());
    return whole;
}

// An AES-256 key in GCM mode.
bool GcmKey(const Provider& provider, const std::string& secret, Key& key) {
    if (!provider.Get() || secret.size() != kAesKey) return false;
    const wchar_t* mode = BCRYPT_CHAIN_MODE_GCM;
    return Succeeded(BCryptSetProperty(provider.Get(), BCRYPT_CHAINING_MODE,
                                       reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(mode)),
                                       static_cast<ULONG>((wcslen(mode) + 1) * sizeof(wchar_t)),
                                       0)) &&
           Succeeded(BCryptGenerateSymmetricKey(provider.Get(), key.Out(), nullptr, 0,
                                                Bytes(secret), kAesKey, 0));
}

BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO GcmInfo(const std::string& nonce,
                                              const std::string& associated, PUCHAR tag) {
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
    BCRYPT_INIT_AUTH_MODE_INFO(info);
    info.pbNonce = Bytes(nonce);
    info.cbNonce = kGcmNonce;
    info.pbAuthData = associated.empty() ? nullptr : Bytes(associated);
    info.cbAuthData = static_cast<ULONG>(associated.size());
    info.pbTag = tag;
    info.cbTag = kGcmTag;
    return info;
}

}  // namespace

bool IPlatform::RandomBytes(size_t count, std::string& bytes) {
    bytes.assign(count, '\0');
    return count == 0 || Succeeded(BCryptGenRandom(nullptr, Bytes(bytes), static_cast<ULONG>(count),
                                                   BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

bool IPlatform::NewSigningKey(std::string& publicKey, std::string& privateKey) {
    publicKey.clear();
    privateKey.clear();
    Provider provider(BCRYPT_ECDSA_P256_ALGORITHM);
    Key key;
    if (!provider.Get() || !Succeeded(BCryptGenerateKeyPair(provider.Get(), key.Out(), 256, 0)) ||
        !Succeeded(BCryptFinalizeKeyPair(key.Get(), 0))) {
        return false;
    }
    if (!ExportKey(key, false, publicKey) || !ExportKey(key, true, privateKey)) {
        publicKey.clear();
        privateKey.clear();
        return false;
    }
    return true;
}

bool IPlatform::SignDigest(const std::string& privateKey, const std::string& digest,
                           std::string& signature) {
    signature.clear();
    Provider provider(BCRYPT_ECDSA_P256_ALGORITHM);
    Key key;
    if (digest.size() != kDigest || !ImportKey(provider, privateKey, true, key)) return false;
    std::string out(kSignatureBlob, '\0');
    ULONG length = 0;
    if (!Succeeded(BCryptSignHash(key.Get(), nullptr, Bytes(digest), kDigest, Bytes(out),
                                  kSignatureBlob, &length, 0)) ||
        length != kSignatureBlob) {
        return false;
    }
    signature = out;
    return true;
}

bool IPlatform::VerifyDigest(const std::string& publicKey, const std::string& digest,
                             const std::string& signature) {
    Provider provider(BCRYPT_ECDSA_P256_ALGORITHM);
    Key key;
    if (digest.size() != kDigest || signature.size() != kSignatureBlob ||
        !ImportKey(provider, publicKey, false, key)) {
        return false;
    }
    return BCryptVerifySignature(key.Get(), nullptr, Bytes(digest), kDigest, Bytes(signature),
                                 kSignatureBlob, 0) == 0;
}

bool IPlatform::SealAesGcm(const std::string& key, const std::string& nonce,
                           const std::string& plain, const std::string& associated,
                           std::string& sealed) {
    sealed.clear();
    Provider provider(BCRYPT_AES_ALGORITHM);
    Key aes;
    if (nonce.size() != kGcmNonce || !GcmKey(provider, key, aes)) return false;
    std::string out(plain.size() + kGcmTag, '\0');
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info =
        GcmInfo(nonce, associated, Bytes(out) + plain.size());
    ULONG length = 0;
    if (!Succeeded(BCryptEncrypt(aes.Get(), Bytes(plain), static_cast<ULONG>(plain.size()), &info,
                                 nullptr, 0, Bytes(out), static_cast<ULONG>(plain.size()), &length,
                                 0)) ||
        length != plain.size()) {
        return false;
    }
    sealed = out;
    return true;
}

bool IPlatform::OpenAesGcm(const std::string& key, const std::string& nonce,
                           const std::string& sealed, const std::string& associated,
                           std::string& plain) {
    plain.clear();
    Provider provider(BCRYPT_AES_ALGORITHM);
    Key aes;
    if (nonce.size() != kGcmNonce || sealed.size() < kGcmTag || !GcmKey(provider, key, aes)) {
        return false;
    }
    const ULONG textLength = static_cast<ULONG>(sealed.size() - kGcmTag);
    std::string tag = sealed.substr(textLength);
    std::string out(textLength, '\0');
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info = GcmInfo(nonce, associated, Bytes(tag));
    ULONG length = 0;
    // A tag that does not match: STATUS_AUTH_TAG_MISMATCH, and no text.
    if (!Succeeded(BCryptDecrypt(aes.Get(), Bytes(sealed), textLength, &info, nullptr, 0,
                                 Bytes(out), textLength, &length, 0)) ||
        length != textLength) {
        SecureZeroMemory(&out[0], out.size());
        return false;
    }
    plain = out;
    return true;
}

}  // namespace qm
