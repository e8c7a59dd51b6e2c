// The signature of the release list: who may change the baseline is proved
// by a signature of the site's key over what the comparison decides by.
//
// Every password-guarded write signs a canonical text of the list: a version
// tag, the sequence number, then for each section ("qmw", then "db1") and
// entry, in the order of the comparison's walk (1 up to the first empty
// name, never beyond 9998), the section, the number, the name, the CRC, the
// SHA-256, the size and the date as a reader reads them, each with its
// length before it, and last the count of entries. Comments and update
// marks are not in it, so that writing them needs no password and keeps the
// signature. The signature (ECDSA P-256 over the text's SHA-256), the public
// key, the count of entries and the sequence number (rising with each
// signing) are kept in the list's own section "[Signature]", which readers
// that look sections up by name pass over. A backup is the list it was, its
// signature included.
#pragma once

#include <cstdint>
#include <string>

namespace qm {

class CIniFile;

// What a comparison tells of the list's signature.
enum class SignatureState {
    Valid,                // signed by the key the settings pin
    NotSigned,            // no signature and no pinned key: every list written before
    ChangedAfterSigning,  // the signature does not match the list (or cannot be read)
    OtherKey,             // a valid signature of a key that is not the pinned one
    UnsignedWhilePinned,  // no list, or a list without a signature, while a key is pinned
};

// The last three: no verdict of the comparison can be trusted.
bool IsAlarm(SignatureState state);

struct ListSignature {
    SignatureState state = SignatureState::NotSigned;
    bool listMissing = false;    // UnsignedWhilePinned: there is no list at all
    bool pinned = false;         // the settings pin a key (or cannot be read)
    std::string pinnedKey;       // the pinned public key; "" when none or unreadable
    std::string listKey;         // the public key the list names; "" when none
    uint64_t sequence = 0;       // the list's sequence number; 0 when unsigned
    int entries = 0;             // the count of entries the list's signature names
    uint32_t settingsError = 0;  // the settings file could not be read: why
};

// What the settings file pins.
struct SitePin {
    bool pinned = false;    // a key is pinned, or the settings cannot be read (the safe side)
    std::string publicKey;  // 64 bytes; "" when unreadable
    uint32_t error = 0;     // the settings file could not be read: why
};

// The canonical text of a list signed with `sequence`; `entries` receives
// its count of entries.
std::string CanonicalListText(const CIniFile& releaseList, uint64_t sequence, int* entries);

// Signs the list in memory: writes its [Signature] section.
bool SignReleaseList(CIniFile& releaseList, const std::string& privateKey,
                     const std::string& publicKey, uint64_t sequence);

// The state of a list (`releaseList` null: there is none) against the pin.
ListSignature CheckListSignature(const CIniFile* releaseList, const SitePin& pin);

// A sequence number or count as the list and the settings keep it: decimal,
// at most 15 digits (beyond any count of signings, and exact in JSON and
// the metrics); false for anything else.
bool ReadSequenceNumber(const std::string& text, uint64_t& number);

// The sequence number of a list's signature; 0 when it has none that reads.
uint64_t ListSequence(const CIniFile& releaseList);

// The fingerprint of a public key: the first 16 bytes of its SHA-256 as 32
// lower-case hexadecimal digits in groups of four ("1a2b 3c4d ...").
std::string KeyFingerprint(const std::string& publicKey);

// The state as scripts match it ("valid", "not_signed", "changed",
// "other_key", "unsigned_while_pinned").
const char* SignatureStateName(SignatureState state);

// The state in the operator's words (core/OperatorTexts.h), as both front
// ends show it.
const char* SignatureStateText(const ListSignature& signature);

}  // namespace qm
