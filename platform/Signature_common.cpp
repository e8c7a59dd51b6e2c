// How the answer on a signature reads, the same on every system that gives it.
#include "platform/Signature.h"

namespace qm {

namespace {

// The answers of WinVerifyTrust by their names in wintrust.h and winerror.h.
enum : uint32_t {
    kTrustProviderUnknown = 0x800B0001,     // TRUST_E_PROVIDER_UNKNOWN
    kTrustSubjectFormUnknown = 0x800B0003,  // TRUST_E_SUBJECT_FORM_UNKNOWN
    kTrustSubjectNotTrusted = 0x800B0004,   // TRUST_E_SUBJECT_NOT_TRUSTED
    kTrustNoSignature = 0x800B0100,         // TRUST_E_NOSIGNATURE
    kCertExpired = 0x800B0101,              // CERT_E_EXPIRED
    kCertUntrustedRoot = 0x800B0109,        // CERT_E_UNTRUSTEDROOT
    kCertChaining = 0x800B010A,             // CERT_E_CHAINING
    kCertRevoked = 0x800B010C,              // CERT_E_REVOKED
    kCertUntrustedTestRoot = 0x800B010D,    // CERT_E_UNTRUSTEDTESTROOT
    kCertRevocationFailure = 0x800B010E,    // CERT_E_REVOCATION_FAILURE
    kCertWrongUsage = 0x800B0110,           // CERT_E_WRONG_USAGE
    kTrustExplicitDistrust = 0x800B0111,    // TRUST_E_EXPLICIT_DISTRUST
    kTrustNoSignerCert = 0x80096002,        // TRUST_E_NO_SIGNER_CERT
    kTrustCertSignature = 0x80096004,       // TRUST_E_CERT_SIGNATURE
    kTrustBadDigest = 0x80096010,           // TRUST_E_BAD_DIGEST
    kCryptSecuritySettings = 0x80092026,    // CRYPT_E_SECURITY_SETTINGS
};

}  // namespace

FileSignatureState FileSignatureStateOf(uint32_t answer) {
    switch (answer) {
        case 0:
            return FileSignatureState::Signed;
        case kTrustNoSignature:
        case kTrustSubjectFormUnknown:
        case kTrustProviderUnknown:
            return FileSignatureState::Unsigned;
        case kTrustBadDigest:
            return FileSignatureState::Broken;
        case kTrustSubjectNotTrusted:
        case kCertExpired:
        case kCertUntrustedRoot:
        case kCertChaining:
        case kCertRevoked:
        case kCertUntrustedTestRoot:
        case kCertRevocationFailure:
        case kCertWrongUsage:
        case kTrustExplicitDistrust:
        case kTrustNoSignerCert:
        case kTrustCertSignature:
        case kCryptSecuritySettings:
            return FileSignatureState::NotTrusted;
        default:
            return FileSignatureState::Unknown;
    }
}

}  // namespace qm
