#include "core/UpdatePassword.h"

#include <cstring>

#include "core/HexText.h"
#include "core/IniFile.h"
#include "core/Settings.h"
#include "core/Sha256.h"
#include "platform/Platform.h"

namespace qm {

namespace {

constexpr char kBuiltInSalt[] = "qmverify: update the release data";

// PBKDF2-HMAC-SHA-256 of the built-in password with the salt above and
// kPasswordIterations iterations.
constexpr Sha256Digest kBuiltInDigest = {
    0x6c, 0x38, 0x1c, 0xd6, 0x72, 0xd9, 0xc2, 0x78, 0xe6, 0x9a, 0x51, 0x8d, 0xb2, 0x8d, 0x5b, 0x26,
    0xc2, 0x04, 0x1a, 0x43, 0x6e, 0xb5, 0x7e, 0xe9, 0x73, 0x6a, 0xc3, 0x0c, 0x59, 0x69, 0xc5, 0xd9,
};

constexpr char kSection[] = "Password";
constexpr size_t kSaltBytes = 16;
constexpr size_t kDigestBytes = 32;
// Records of ours take kPasswordIterations; a record that asks for far more
// would hold every check (a hostile settings file).
constexpr uint32_t kMostIterations = 10 * kPasswordIterations;

// Every byte is looked at, whatever the first difference.
bool SameBytes(const void* a, const void* b, size_t length) {
    const unsigned char* left = static_cast<const unsigned char*>(a);
    const unsigned char* right = static_cast<const unsigned char*>(b);
    unsigned char difference = 0;
    for (size_t i = 0; i < length; ++i) difference |= left[i] ^ right[i];
    return difference == 0;
}

std::string DigestBytes(const Sha256Digest& digest) {
    return std::string(reinterpret_cast<const char*>(digest.data()), digest.size());
}

}  // namespace

void WipeSecret(std::string& text) {
    volatile char* bytes = text.empty() ? nullptr : &text[0];
    for (size_t i = 0; i < text.size(); ++i) bytes[i] = 0;
    text.clear();
}

CUpdateKey::~CUpdateKey() {
    WipeSecret(m_strPassword);
    WipeSecret(m_strDerived);
}

void CUpdateKey::SetBuiltIn(const std::string& password) {
    m_bBuiltIn = true;
    m_strPassword = password;
    m_record = PasswordRecord();
    WipeSecret(m_strDerived);
}

void CUpdateKey::SetSite(const PasswordRecord& record, const std::string& derived) {
    m_bBuiltIn = false;
    WipeSecret(m_strPassword);
    m_record = record;
    m_strDerived = derived;
}

std::string DerivePasswordKey(const std::string& password, const std::string& salt,
                              uint32_t iterations) {
    return DigestBytes(Pbkdf2Sha256(password, salt, iterations));
}

bool MakePasswordRecord(const std::string& password, PasswordRecord& record, std::string& derived) {
    if (!Platform().RandomBytes(kSaltBytes, record.salt)) return false;
    record.iterations = kPasswordIterations;
    derived = DerivePasswordKey(password, record.salt, record.iterations);
    record.digest = DigestBytes(Sha256(derived));
    return true;
}

bool ReadPasswordRecord(const CIniFile& settings, PasswordRecord& record, bool& damaged) {
    const std::string salt = settings.ReadText(kSection, "Salt", 2 * kSaltBytes + 2);
    const std::string iterations = settings.ReadText(kSection, "Iterations", 12);
    const std::string digest = settings.ReadText(kSection, "Digest", 2 * kDigestBytes + 2);
    damaged = false;
    if (salt.empty() && iterations.empty() && digest.empty()) return false;
    const bool digits = !iterations.empty() && iterations.size() <= 8 &&
                        iterations.find_first_not_of("0123456789") == std::string::npos;
    record.iterations = digits ? static_cast<uint32_t>(std::stoul(iterations)) : 0;
    if (!BytesFromHex(salt, kSaltBytes, record.salt) ||
        !BytesFromHex(digest, kDigestBytes, record.digest) ||
        record.iterations < kPasswordIterations || record.iterations > kMostIterations) {
        damaged = true;
        return false;
    }
    return true;
}

void WritePasswordRecord(CIniFile& settings, const PasswordRecord& record) {
    settings.WriteText(kSection, "Salt", HexText(record.salt));
    settings.WriteText(kSection, "Iterations", std::to_string(record.iterations));
    settings.WriteText(kSection, "Digest", HexText(record.digest));
}

PasswordCheck CheckUpdatePassword(const std::string& typed, CUpdateKey& key, uint32_t* error) {
    if (error) *error = kErrorSuccess;
    const std::string password(typed.c_str(), std::strlen(typed.c_str()));
    CIniFile settings;
    if (!settings.Load(ProfilePath(kSettingsFile))) {
        if (error) *error = settings.LoadError();
        return PasswordCheck::SettingsUnreadable;
    }
    PasswordRecord record;
    bool damaged = false;
    if (ReadPasswordRecord(settings, record, damaged)) {
        const std::string derived = DerivePasswordKey(password, record.salt, record.iterations);
        if (!SameBytes(Sha256(derived).data(), record.digest.data(), kDigestBytes)) {
            return PasswordCheck::Wrong;
        }
        key.SetSite(record, derived);
        return PasswordCheck::Right;
    }
    if (damaged) return PasswordCheck::RecordDamaged;
    const Sha256Digest digest = Pbkdf2Sha256(password, kBuiltInSalt, kPasswordIterations);
    if (!SameBytes(digest.data(), kBuiltInDigest.data(), kDigestBytes)) return PasswordCheck::Wrong;
    key.SetBuiltIn(password);
    return PasswordCheck::Right;
}

bool IsUpdatePassword(const std::string& typed) {
    CUpdateKey key;
    return CheckUpdatePassword(typed, key) == PasswordCheck::Right;
}

}  // namespace qm
