#include "core/EntryRecord.h"

#include <gtest/gtest.h>

#include <string>

namespace qm {
namespace {

const char kDigest[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

EntryRecord Record(const char* name, const char* crc, const char* sha256) {
    EntryRecord record;
    record.name = name;
    record.date = "07.12.2026 11:45";
    record.crcText = crc;
    record.sha256Text = sha256;
    return record;
}

// The build's entries: the five keys in their order, then the SHA-256.
TEST(EntryRecord, TheKeysOfANewEntryFollowEachOtherInTheirOrder) {
    CIniFile list;
    EntryRecord record = Record("tool.exe", "352441c2", kDigest);
    record.comment = std::string();
    WriteEntry(list, "qmw", 1, record);
    WriteEntry(list, "db1", 1, Record("store.dll", "0", ""));  // not read whole: no digest
    EXPECT_EQ(list.Text(),
              "[qmw]\r\nFile1=tool.exe\r\nDate1=07.12.2026 11:45\r\nCRC1=352441c2\r\n"
              "Updated1=0\r\nComment1=\r\nSHA2561=" +
                  std::string(kDigest) +
                  "\r\n[db1]\r\nFile1=store.dll\r\nDate1=07.12.2026 11:45\r\nCRC1=0\r\n"
                  "Updated1=0\r\n");
}

// Add's entries: written over an entry, the keys keep their places, the
// comment stays, and a digest that is no longer the file's is emptied.
TEST(EntryRecord, ARefreshedEntryKeepsItsCommentAndLosesAStaleDigest) {
    CIniFile list;
    const std::string before =
        "[qmw]\r\nFile1=tool.exe\r\nDate1=x\r\nCRC1=1\r\nUpdated1=1\r\nComment1=keep me\r\n"
        "SHA2561=" +
        std::string(kDigest) + "\r\nFile2=old.exe\r\nCRC2=2\r\n";
    list.LoadText(before);
    WriteEntry(list, "qmw", 1, Record("tool.exe", "0", ""));
    WriteEntry(list, "qmw", 2, Record("old.exe", "cbf43926", kDigest));
    EXPECT_EQ(list.Text(),
              "[qmw]\r\nFile1=tool.exe\r\nDate1=07.12.2026 11:45\r\nCRC1=0\r\nUpdated1=0\r\n"
              "Comment1=keep me\r\nSHA2561=\r\nFile2=old.exe\r\nCRC2=cbf43926\r\n"
              "Date2=07.12.2026 11:45\r\nUpdated2=0\r\nSHA2562=" +
                  std::string(kDigest) + "\r\n");
}

}  // namespace
}  // namespace qm
