// The site's signing key: an ECDSA P-256 key pair made by the system's
// library at the first password-guarded write (Update Release Data or Add).
// The settings file keeps it in "[SigningKey]": the public key, which is the
// pin that every comparison checks the list's signature against, the
// private key sealed with AES-256-GCM under the key that the update password
// derives over its record's random salt (core/UpdatePassword.h), and the
// sequence number of the last signing. The private key is never written
// unsealed; a new password seals it anew, never replaces it.
#pragma once

#include <cstdint>
#include <string>

#include "core/IniFile.h"
#include "core/ListSignature.h"
#include "core/UpdatePassword.h"

namespace qm {

// Why a password-guarded write could not sign (it then wrote nothing).
enum class SigningProblem {
    None,
    KeyPinned,            // no password was given while a key is pinned
    PasswordChanged,      // the password record changed since the password was checked
    SettingsUnreadable,   // the settings file cannot be read (see the error)
    RecordDamaged,        // the password record or the key is no record of ours
    KeyDoesNotOpen,       // the sealed key does not open: the settings file was changed
    ListNotAsSigned,      // Add on a list in an alarm state would sign what was changed
    SystemFailed,         // the system's library made, sealed or signed nothing
    SettingsWriteFailed,  // the settings file could not be written (see the error)
};

// The operator's words for a problem (core/OperatorTexts.h); "" for None and
// for the two that come with the system's reason.
const char* SigningProblemText(SigningProblem problem);

// What the settings file pins now (ListSignature.h).
SitePin ReadSitePin();
SitePin PinIn(const CIniFile& settings);

// The site's key opened for one password-guarded write, inside the writer
// lock: Open unseals it (or makes one, the first time), Sign signs a list in
// memory, and Commit stores the settings (a new key, the sequence number)
// before the list is saved, so that no list is ever signed with a key that
// was not kept.
class CSiteSigner {
public:
    CSiteSigner() = default;
    ~CSiteSigner();
    CSiteSigner(const CSiteSigner&) = delete;
    CSiteSigner& operator=(const CSiteSigner&) = delete;

    // `makeKey`: make a key when the settings hold none (a write); without
    // it, no key is no problem (a change of the password).
    SigningProblem Open(const CUpdateKey& key, bool makeKey = true);
    // Signs with the sequence number after both the settings' and the
    // list's own (`listSequence`).
    bool Sign(CIniFile& releaseList, uint64_t listSequence);
    // Seals the key (if any) under a new password's record.
    bool Reseal(const PasswordRecord& record, const std::string& derived);
    // Saves the settings file; 0 or the system's reason.
    uint32_t Commit();

    uint32_t Error() const { return m_error; }
    bool HasKey() const { return !m_strPublic.empty(); }
    bool MadeKey() const { return m_bMadeKey; }
    const std::string& PublicKey() const { return m_strPublic; }
    uint64_t Sequence() const { return m_nSequence; }

private:
    SigningProblem CheckRecord(const CUpdateKey& key, std::string& derived);
    SigningProblem Unseal(const std::string& derived, const std::string& salt);
    bool Seal(const std::string& derived, const std::string& salt);

    CIniFile m_settings;
    std::string m_strPublic;
    std::string m_strPrivate;
    bool m_bMadeKey = false;
    uint64_t m_nSequence = 0;  // the last one the settings name, then the one signed
    uint32_t m_error = 0;
};

}  // namespace qm
