#include "core/ListSignature.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "core/Capacities.h"
#include "core/HexText.h"
#include "core/IniFile.h"
#include "core/ListedEntries.h"
#include "core/OperatorTexts.h"
#include "core/ReleaseListFormat.h"
#include "core/Sha256.h"
#include "platform/Platform.h"

namespace qm {

namespace {

constexpr char kSection[] = "Signature";
constexpr char kVersion[] = "1";
constexpr char kTextTag[] = "qmverify release list signature 1\n";
constexpr size_t kKeyBytes = 64;
constexpr size_t kSignatureBytes = 64;
// The most digits of a sequence number or count: far beyond any count of
// signings, and within what JSON and the metrics keep exactly.
constexpr size_t kMostDigits = 15;

// The keys of an entry that the signature covers, in the text's order: the
// name first, as the walk reads it.
constexpr const char* kSignedKeys[] = {"File", "CRC", kSha256KeyPrefix, kSizeKeyPrefix, "Date"};
constexpr size_t kSignedKeyCount = sizeof kSignedKeys / sizeof kSignedKeys[0];

void AppendField(std::string& text, std::string_view value) {
    text += ' ';
    text += std::to_string(value.size());
    text += ':';
    text += value;
}

std::string Read(const CIniFile& list, const char* key) {
    return list.ReadText(kSection, key, kWholeValueCapacity);
}

std::string DigestOf(const std::string& text) {
    const Sha256Digest digest = Sha256(text);
    return std::string(reinterpret_cast<const char*>(digest.data()), digest.size());
}

// Whether the list's own signature holds over its text; `signature` gets
// the key, the sequence and the count it names.
bool SignatureHolds(const CIniFile& list, ListSignature& signature) {
    std::string key;
    std::string value;
    uint64_t sequence = 0;
    uint64_t entries = 0;
    if (Read(list, "Version") != kVersion ||
        !BytesFromHex(Read(list, "PublicKey"), kKeyBytes, key) ||
        !BytesFromHex(Read(list, "Signature"), kSignatureBytes, value) ||
        !ReadSequenceNumber(Read(list, "Sequence"), sequence) ||
        !ReadSequenceNumber(Read(list, "Entries"), entries)) {
        return false;
    }
    signature.listKey = key;
    signature.sequence = sequence;
    // A count no list holds reads as one beyond any: it matches no walk.
    signature.entries = static_cast<int>(std::min<uint64_t>(entries, 2 * kLastReadableEntry + 1));
    int walked = 0;
    const std::string text = CanonicalListText(list, sequence, &walked);
    return static_cast<uint64_t>(walked) == entries &&
           Platform().VerifyDigest(key, DigestOf(text), value);
}

bool HasSignatureSection(const CIniFile& list) { return !list.KeyNames(kSection).empty(); }

}  // namespace

bool ReadSequenceNumber(const std::string& text, uint64_t& number) {
    if (text.empty() || text.size() > kMostDigits ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    number = std::stoull(text);
    return true;
}

bool IsAlarm(SignatureState state) {
    return state == SignatureState::ChangedAfterSigning || state == SignatureState::OtherKey ||
           state == SignatureState::UnsignedWhilePinned;
}

std::string CanonicalListText(const CIniFile& releaseList, uint64_t sequence, int* entries) {
    std::string text = kTextTag;
    text += "sequence " + std::to_string(sequence) + "\n";
    int count = 0;
    // The walk of the comparison: 1 up to the first empty name.
    for (const ComponentDirectory& component : kComponentDirectories) {
        const CEntryValues values(releaseList, component.section,
                                  {std::begin(kSignedKeys), std::end(kSignedKeys)});
        for (int n = 1; n <= values.Walked(); ++n) {
            text += component.section;
            text += ' ';
            text += std::to_string(n);
            for (size_t field = 0; field < kSignedKeyCount; ++field) {
                AppendField(text, values.Value(n, field));
            }
            text += '\n';
            ++count;
        }
    }
    text += "entries " + std::to_string(count) + "\n";
    if (entries) *entries = count;
    return text;
}

bool SignReleaseList(CIniFile& releaseList, const std::string& privateKey,
                     const std::string& publicKey, uint64_t sequence) {
    int entries = 0;
    const std::string digest = DigestOf(CanonicalListText(releaseList, sequence, &entries));
    std::string signature;
    // A signature that its own key does not take back would be an alarm at
    // the next comparison: better no write at all.
    if (!Platform().SignDigest(privateKey, digest, signature) ||
        !Platform().VerifyDigest(publicKey, digest, signature)) {
        return false;
    }
    releaseList.WriteText(kSection, "Version", kVersion);
    releaseList.WriteText(kSection, "Sequence", std::to_string(sequence));
    releaseList.WriteText(kSection, "Entries", std::to_string(entries));
    releaseList.WriteText(kSection, "PublicKey", HexText(publicKey));
    releaseList.WriteText(kSection, "Signature", HexText(signature));
    return true;
}

ListSignature CheckListSignature(const CIniFile* releaseList, const SitePin& pin) {
    ListSignature result;
    result.pinned = pin.pinned;
    result.pinnedKey = pin.publicKey;
    result.settingsError = pin.error;
    const SignatureState withoutSignature =
        pin.pinned ? SignatureState::UnsignedWhilePinned : SignatureState::NotSigned;
    if (!releaseList) {
        result.listMissing = true;
        result.state = withoutSignature;
    } else if (!HasSignatureSection(*releaseList)) {
        result.state = withoutSignature;
    } else if (!SignatureHolds(*releaseList, result)) {
        result.state = SignatureState::ChangedAfterSigning;
    } else {
        result.state = !pin.publicKey.empty() && result.listKey == pin.publicKey
                           ? SignatureState::Valid
                           : SignatureState::OtherKey;
    }
    return result;
}

uint64_t ListSequence(const CIniFile& releaseList) {
    uint64_t sequence = 0;
    return ReadSequenceNumber(Read(releaseList, "Sequence"), sequence) ? sequence : 0;
}

std::string KeyFingerprint(const std::string& publicKey) {
    const std::string hex = HexText(DigestOf(publicKey).substr(0, 16));
    std::string grouped;
    for (size_t i = 0; i < hex.size(); i += 4) {
        if (i > 0) grouped += ' ';
        grouped += hex.substr(i, 4);
    }
    return grouped;
}

const char* SignatureStateName(SignatureState state) {
    switch (state) {
        case SignatureState::Valid:
            return "valid";
        case SignatureState::ChangedAfterSigning:
            return "changed";
        case SignatureState::OtherKey:
            return "other_key";
        case SignatureState::UnsignedWhilePinned:
            return "unsigned_while_pinned";
        case SignatureState::NotSigned:
            break;
    }
    return "not_signed";
}

const char* SignatureStateText(const ListSignature& signature) {
    switch (signature.state) {
        case SignatureState::Valid:
            return QM_TEXT_LIST_SIGNED;
        case SignatureState::ChangedAfterSigning:
            return QM_TEXT_LIST_CHANGED_AFTER_SIGNING;
        case SignatureState::OtherKey:
            return QM_TEXT_LIST_OTHER_KEY;
        case SignatureState::UnsignedWhilePinned:
            return signature.listMissing ? QM_TEXT_LIST_MISSING_WHILE_PINNED
                                         : QM_TEXT_LIST_UNSIGNED_WHILE_PINNED;
        case SignatureState::NotSigned:
            break;
    }
    return QM_TEXT_LIST_NOT_SIGNED;
}

}  // namespace qm
