// The password that guards every change of the release list's baseline:
// "Update Release Data" and adding a file. The program keeps only a digest of
// the built-in password (PBKDF2-HMAC-SHA-256 with a fixed salt); a site that
// sets its own keeps a record of it in the settings file ("[Password]":
// a random salt of 16 bytes, the iterations, and the SHA-256 of what PBKDF2
// derives), which from then on is the password.
//
// What PBKDF2 derives from a site's password over its salt is also the key
// under which the site's signing key is kept (core/SiteKey.h), so that a
// password-guarded write derives once. At least kPasswordIterations
// iterations each: one check takes about a tenth of a second here, a guess
// costs an attacker as much.
#pragma once

#include <cstdint>
#include <string>

namespace qm {

// The iterations of the built-in digest and of every record made here.
constexpr uint32_t kPasswordIterations = 600000;

// The record of a site's own password, as the settings file keeps it.
struct PasswordRecord {
    std::string salt;  // 16 bytes
    uint32_t iterations = 0;
    std::string digest;  // SHA-256 of the derived key
};

// What an accepted password derives: the key that opens the site's signing
// key (a site's own password), or the password itself while the built-in one
// holds (the record is made, with a random salt, when the first signing key
// is). Wiped when it ends.
class CUpdateKey {
public:
    CUpdateKey() = default;
    ~CUpdateKey();
    CUpdateKey(const CUpdateKey&) = delete;
    CUpdateKey& operator=(const CUpdateKey&) = delete;

    bool BuiltIn() const { return m_bBuiltIn; }
    // The built-in password as typed (only while the built-in one holds).
    const std::string& Password() const { return m_strPassword; }
    // The site's record it was checked against, and the key it derived.
    const PasswordRecord& Record() const { return m_record; }
    const std::string& Derived() const { return m_strDerived; }

    void SetBuiltIn(const std::string& password);
    void SetSite(const PasswordRecord& record, const std::string& derived);

private:
    bool m_bBuiltIn = false;
    std::string m_strPassword;
    PasswordRecord m_record;
    std::string m_strDerived;
};

enum class PasswordCheck {
    Right,
    Wrong,
    SettingsUnreadable,  // the settings file exists but cannot be read
    RecordDamaged,       // the settings file's [Password] is no record of ours
};

// Checks `typed` (a C string: the text ends at a NUL) against the site's
// record, or the built-in digest when there is none; on Right `key` holds
// what it derived. `error` receives the system's reason of
// SettingsUnreadable.
PasswordCheck CheckUpdatePassword(const std::string& typed, CUpdateKey& key,
                                  uint32_t* error = nullptr);

// Whether `typed` is the password now (CheckUpdatePassword gives Right).
bool IsUpdatePassword(const std::string& typed);

// Overwrites a secret's bytes before the text is cleared.
void WipeSecret(std::string& text);

// PBKDF2-HMAC-SHA-256 of a password over a salt, 32 bytes.
std::string DerivePasswordKey(const std::string& password, const std::string& salt,
                              uint32_t iterations);

// A new record of `password` with a random salt; false when the system
// gave no random bytes. `derived` receives the key it derives.
bool MakePasswordRecord(const std::string& password, PasswordRecord& record, std::string& derived);

class CIniFile;
// The record in a settings file: false when it holds none; `damaged` when it
// holds one that is not a record of ours (then false too).
bool ReadPasswordRecord(const CIniFile& settings, PasswordRecord& record, bool& damaged);
void WritePasswordRecord(CIniFile& settings, const PasswordRecord& record);

}  // namespace qm
