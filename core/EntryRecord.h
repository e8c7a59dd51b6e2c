// What an entry of the release list records of its file, and the one place
// that writes an entry's keys, in their order: "File%d", "Date%d", "CRC%d",
// "Updated%d", "Comment%d", then "SHA256%d" and "Size%d" (readers that look keys up by
// name pass over the keys after the first five). A key that a later version
// records goes here, into the record and into WriteEntry, so that the build
// and Add write it alike.
//
// The build writes each entry into a new list; Add writes one into the list
// as it is, where a key that exists keeps its place and a new key goes to
// the end of its section, as the profile functions place it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/IniFile.h"

namespace qm {

struct FileDigests;

struct EntryRecord {
    std::string name;           // "File%d": the name without any directory
    std::string date;           // "Date%d": the timestamp text ("" when no entry was found)
    std::string crcText = "0";  // "CRC%d"
    std::string sha256Text;     // "SHA256%d": "" when the file was not read whole
    std::string sizeText;       // "Size%d": its bytes in decimal; "" when not read whole
    // "Comment%d": the build records the empty comment; Add leaves an
    // entry's comment as it is (a new entry then has none), so it sets none.
    std::optional<std::string> comment;
};

// Takes the digests of a reading into the record: a file that could not be
// read whole is recorded with the CRC "0" and no SHA-256.
void RecordDigests(const FileDigests& digests, EntryRecord& record);

// Writes entry n of `section`. "Updated%d" becomes "0": a file recorded anew
// is not marked as updated. A record without a SHA-256 empties the one the
// entry holds, which is another file's, and adds no key: an empty value and
// no key both read as "no SHA-256 recorded".
void WriteEntry(CIniFile& list, const char* section, int n, const EntryRecord& record);

// The size that entry n records; none when it records none, or a text that
// is no size (such an entry compares as one without it).
std::optional<uint64_t> RecordedSize(const CIniFile& list, const char* section, int n);

}  // namespace qm
