#include "core/SiteKey.h"

#include "core/Capacities.h"
#include "core/HexText.h"
#include "core/OperatorTexts.h"
#include "core/Settings.h"
#include "platform/Platform.h"

namespace qm {

namespace {

constexpr char kSection[] = "SigningKey";
constexpr size_t kPublicBytes = 64;
constexpr size_t kPrivateBytes = 96;
constexpr size_t kNonceBytes = 12;
constexpr size_t kTagBytes = 16;
constexpr size_t kSealedBytes = kNonceBytes + kPrivateBytes + kTagBytes;

// What the seal binds besides the key itself: the public key it belongs to
// and the salt of the password record it was sealed under, so that neither
// can be swapped for another without the seal failing.
std::string Associated(const std::string& publicKey, const std::string& salt) {
    return "qmverify signing key 1\n" + publicKey + salt;
}

std::string ReadKeyText(const CIniFile& settings, const char* key) {
    return settings.ReadText(kSection, key, 2 * kSealedBytes + 2);
}

}  // namespace

const char* SigningProblemText(SigningProblem problem) {
    switch (problem) {
        case SigningProblem::KeyPinned:
            return QM_TEXT_KEY_PINNED;
        case SigningProblem::PasswordChanged:
            return QM_TEXT_PASSWORD_CHANGED_MEANWHILE;
        case SigningProblem::RecordDamaged:
            return QM_TEXT_PASSWORD_RECORD_DAMAGED;
        case SigningProblem::KeyDoesNotOpen:
            return QM_TEXT_KEY_DOES_NOT_OPEN;
        case SigningProblem::ListNotAsSigned:
            return QM_TEXT_LIST_NOT_AS_SIGNED;
        case SigningProblem::SystemFailed:
            return QM_TEXT_SIGNING_FAILED;
        case SigningProblem::None:
        case SigningProblem::SettingsUnreadable:
        case SigningProblem::SettingsWriteFailed:
            break;
    }
    return "";
}

SitePin PinIn(const CIniFile& settings) {
    SitePin pin;
    const std::string publicText = ReadKeyText(settings, "PublicKey");
    // A key half removed is still a key pinned: one that no list matches.
    if (publicText.empty() && ReadKeyText(settings, "PrivateKey").empty()) return pin;
    pin.pinned = true;
    BytesFromHex(publicText, kPublicBytes, pin.publicKey);
    return pin;
}

SitePin ReadSitePin() {
    CIniFile settings;
    if (!settings.Load(ProfilePath(kSettingsFile))) {
        // Whether a key is pinned cannot be told: the safe side.
        SitePin pin;
        pin.pinned = true;
        pin.error = settings.LoadError();
        return pin;
    }
    return PinIn(settings);
}

CSiteSigner::~CSiteSigner() { WipeSecret(m_strPrivate); }

SigningProblem CSiteSigner::CheckRecord(const CUpdateKey& key, std::string& derived) {
    PasswordRecord record;
    bool damaged = false;
    const bool present = ReadPasswordRecord(m_settings, record, damaged);
    if (damaged) return SigningProblem::RecordDamaged;
    if (key.BuiltIn()) return present ? SigningProblem::PasswordChanged : SigningProblem::None;
    const PasswordRecord& checked = key.Record();
    if (!present || record.salt != checked.salt || record.iterations != checked.iterations ||
        record.digest != checked.digest) {
        return SigningProblem::PasswordChanged;
    }
    derived = key.Derived();
    return SigningProblem::None;
}

SigningProblem CSiteSigner::Unseal(const std::string& derived, const std::string& salt) {
    std::string publicKey;
    std::string sealed;
    if (!BytesFromHex(ReadKeyText(m_settings, "PublicKey"), kPublicBytes, publicKey) ||
        !BytesFromHex(ReadKeyText(m_settings, "PrivateKey"), kSealedBytes, sealed)) {
        return SigningProblem::KeyDoesNotOpen;
    }
    std::string privateKey;
    if (!Platform().OpenAesGcm(derived, sealed.substr(0, kNonceBytes), sealed.substr(kNonceBytes),
                               Associated(publicKey, salt), privateKey) ||
        privateKey.size() != kPrivateBytes || privateKey.compare(0, kPublicBytes, publicKey) != 0) {
        WipeSecret(privateKey);
        return SigningProblem::KeyDoesNotOpen;
    }
    m_strPublic = publicKey;
    m_strPrivate = privateKey;
    WipeSecret(privateKey);
    return SigningProblem::None;
}

bool CSiteSigner::Seal(const std::string& derived, const std::string& salt) {
    std::string nonce;
    std::string sealed;
    if (!Platform().RandomBytes(kNonceBytes, nonce) ||
        !Platform().SealAesGcm(derived, nonce, m_strPrivate, Associated(m_strPublic, salt),
                               sealed)) {
        return false;
    }
    m_settings.WriteText(kSection, "PublicKey", HexText(m_strPublic));
    m_settings.WriteText(kSection, "PrivateKey", HexText(nonce + sealed));
    return true;
}

SigningProblem CSiteSigner::Open(const CUpdateKey& key, bool makeKey) {
    m_error = kErrorSuccess;
    if (!m_settings.Load(ProfilePath(kSettingsFile))) {
        m_error = m_settings.LoadError();
        return SigningProblem::SettingsUnreadable;
    }
    std::string derived;
    SigningProblem problem = CheckRecord(key, derived);
    if (problem != SigningProblem::None) return problem;
    if (!ReadSequenceNumber(m_settings.ReadText(kSection, "Sequence", kKeyCapacity), m_nSequence)) {
        m_nSequence = 0;
    }
    if (PinIn(m_settings).pinned) {
        // A key is sealed under the record it was made with: the built-in
        // password, which has none, never opens one.
        if (key.BuiltIn()) return SigningProblem::KeyDoesNotOpen;
        return Unseal(derived, key.Record().salt);
    }
    if (!makeKey) return SigningProblem::None;
    PasswordRecord record = key.Record();
    if (key.BuiltIn()) {
        // The first key of a site on the built-in password: its record, with
        // a random salt, is made with it.
        if (!MakePasswordRecord(key.Password(), record, derived))
            return SigningProblem::SystemFailed;
        WritePasswordRecord(m_settings, record);
    }
    if (!Platform().NewSigningKey(m_strPublic, m_strPrivate) || !Seal(derived, record.salt)) {
        WipeSecret(derived);
        return SigningProblem::SystemFailed;
    }
    WipeSecret(derived);
    m_bMadeKey = true;
    return SigningProblem::None;
}

bool CSiteSigner::Sign(CIniFile& releaseList, uint64_t listSequence) {
    const uint64_t sequence = (listSequence > m_nSequence ? listSequence : m_nSequence) + 1;
    if (!SignReleaseList(releaseList, m_strPrivate, m_strPublic, sequence)) return false;
    m_nSequence = sequence;
    m_settings.WriteText(kSection, "Sequence", std::to_string(sequence));
    return true;
}

bool CSiteSigner::Reseal(const PasswordRecord& record, const std::string& derived) {
    if (HasKey() && !Seal(derived, record.salt)) return false;
    WritePasswordRecord(m_settings, record);
    return true;
}

uint32_t CSiteSigner::Commit() {
    m_error = m_settings.Save() ? kErrorSuccess : m_settings.LastSaveError();
    return m_error;
}

}  // namespace qm
