#include "core/AddReleaseFile.h"

#include <cstdint>

#include "core/Capacities.h"
#include "core/Crc32.h"
#include "core/EntryRecord.h"
#include "core/FileDigests.h"
#include "core/Fingerprint.h"
#include "core/IniFile.h"
#include "core/ListedEntries.h"
#include "core/ReleaseListFormat.h"
#include "core/WriterLock.h"
#include "platform/AsciiCase.h"

namespace qm {

namespace {

// A name is taken only when the release list can keep it: it fits the
// working texts, and it reads back unchanged (no line break), so that later
// reads and comparisons name the same file.
bool IsStorableName(const std::string& name) {
    if (name.size() >= kTypedNameCapacity) return false;
    if (name.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) return false;
    CIniFile probe;
    probe.WriteText("probe", "File1", name);
    probe.LoadText(probe.Text(), probe.FileEncoding());
    return probe.ReadText("probe", "File1", kTypedNameCapacity) == name;
}

// The number of the entry that names `name` or of the first free entry; 0
// when every readable number holds another name. Names compare whole and
// byte for byte: a stored name longer than the typed one is another file,
// however its first characters read.
int FindEntry(const CIniFile& releaseList, const char* section, const std::string& name,
              bool& existing) {
    int found = 0;
    const int entries =
        ForEachListedEntry(releaseList, section, [&](int n, const std::string& stored) {
            if (found == 0 && stored == name) found = n;
        });
    existing = found != 0;
    if (existing) return found;
    return entries < kLastReadableEntry ? entries + 1 : 0;
}

AddResult Failed(uint32_t* error, uint32_t code) {
    if (error) *error = code;
    return AddResult::WriteFailed;
}

}  // namespace

bool IsUnderstood(const CIniFile& releaseList) {
    return releaseList.UnplacedLineCount() == 0 &&
           (releaseList.SectionCount() > 0 || !releaseList.HasContent());
}

bool IsBareFileName(const std::string& name) {
    if (name.empty() || name.find_first_of("\\/:") != std::string::npos) return false;
    // Characters that no Windows file name holds; * and ? would search.
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string("<>\"|?*").find(c) != std::string::npos) {
            return false;
        }
    }
    // Windows drops dots and blanks at the end of a name ("." and ".." name
    // directories, "tool.exe." names tool.exe): such a name is not the file
    // it spells.
    if (name.back() == '.' || name.back() == ' ') return false;
    // A device name, with any extension, opens the device, not a file.
    const std::string stem = AsciiLowerCopy(name.substr(0, name.find('.')));
    static const char* const kDevices[] = {"con", "prn", "aux", "nul"};
    for (const char* device : kDevices) {
        if (stem == device) return false;
    }
    const bool port =
        stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0);
    return !(port && stem[3] >= '1' && stem[3] <= '9');
}

AddResult AddReleaseFile(const std::string& name, int directoryIndex, int* entry, uint32_t* error) {
    if (error) *error = kErrorSuccess;
    if (name.empty() || directoryIndex < 0 || directoryIndex > 1) return AddResult::Ignored;
    if (!IsBareFileName(name)) return AddResult::NotBareName;
    if (!IsStorableName(name)) return AddResult::Unstorable;
    const char* section = kComponentDirectories[directoryIndex].section;
    const std::string path = AddedFilePath(section, name);
    if (path.empty()) return AddResult::Unstorable;

    CWriterLock lock;
    if (!lock.Held()) return Failed(error, lock.Error());
    CIniFile releaseList;
    if (!releaseList.Load(ProfilePath(kReleaseListName))) {
        return Failed(error, releaseList.LoadError());
    }
    // Lines the engine cannot place may be entries it cannot see (a list
    // with other line ends, or junk): a new entry there could take a number
    // that the list already holds, or a second section of the same name.
    if (!IsUnderstood(releaseList)) return AddResult::ListNotUnderstood;
    bool existing = false;
    const int n = FindEntry(releaseList, section, name, existing);
    if (n == 0) return AddResult::NoFreeNumber;

    // The file is read once for both digests; one that cannot be read whole
    // gets the CRC 0 and no SHA-256, as the build records it.
    CCrc32 crc;
    crc.BuildTable();
    CReadBuffer buffer;
    const FileDigests digests = ReadFileDigests(crc, path, buffer);
    crc.FreeTable();
    EntryRecord record;
    record.name = name;
    RecordDigests(digests, record);
    // A file that the search does not find gets an empty date.
    if (!FileTimestampText(path, record.date)) record.date.clear();
    // The comment is left as it is: a refreshed entry keeps it.
    WriteEntry(releaseList, section, n, record);
    if (!releaseList.Save()) return Failed(error, releaseList.LastSaveError());
    if (entry) *entry = n;
    return existing ? AddResult::Refreshed : AddResult::Added;
}

}  // namespace qm
