#include "core/EntryRecord.h"

#include "core/Capacities.h"
#include "core/FileDigests.h"
#include "core/Fingerprint.h"
#include "core/ReleaseListFormat.h"

namespace qm {

namespace {

// A digest key holds the file's digest, or none: a value it held before is
// emptied rather than kept beside a file it no longer describes.
void WriteDigestKey(CIniFile& list, const char* section, const std::string& key,
                    const std::string& digest) {
    if (!digest.empty() || !list.ReadText(section, key, kKeyCapacity).empty()) {
        list.WriteText(section, key, digest);
    }
}

}  // namespace

void RecordDigests(const FileDigests& digests, EntryRecord& record) {
    record.crcText = CrcText(digests.readWhole ? digests.crc : 0);
    record.sha256Text =
        digests.readWhole && digests.hasSha256 ? Sha256Hex(digests.sha256) : std::string();
    record.sizeText =
        digests.readWhole && digests.sizeKnown ? std::to_string(digests.size) : std::string();
}

void WriteEntry(CIniFile& list, const char* section, int n, const EntryRecord& record) {
    list.WriteText(section, EntryKey("File", n), record.name);
    list.WriteText(section, EntryKey("Date", n), record.date);
    list.WriteText(section, EntryKey("CRC", n), record.crcText);
    list.WriteText(section, EntryKey("Updated", n), "0");
    if (record.comment) list.WriteText(section, EntryKey("Comment", n), *record.comment);
    WriteDigestKey(list, section, EntryKey(kSha256KeyPrefix, n), record.sha256Text);
    WriteDigestKey(list, section, EntryKey(kSizeKeyPrefix, n), record.sizeText);
}

std::optional<uint64_t> RecordedSize(const CIniFile& list, const char* section, int n) {
    const std::string text = list.ReadText(section, EntryKey(kSizeKeyPrefix, n), kKeyCapacity);
    // Decimal digits only, and few enough for 64 bits.
    if (text.empty() || text.size() > 19 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return std::stoull(text);
}

}  // namespace qm
