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

AddResult Failed(AddOutcome& outcome, AddResult result, uint32_t code) {
    outcome.error = code;
    return result;
}

AddResult SigningFailed(AddOutcome& outcome, SigningProblem problem, uint32_t code) {
    outcome.signing = problem;
    outcome.error = code;
    return AddResult::SigningFailed;
}

// Whether the list may be written now, and by which key: with a key, only a
// list that is the site's own as signed (or not signed while nothing is
// pinned) is signed again; without one, only while nothing is pinned.
AddResult OpenSigner(const CIniFile& releaseList, const CUpdateKey* key, CSiteSigner& signer,
                     AddOutcome& outcome) {
    const SitePin pin = ReadSitePin();
    if (!key) {
        if (!pin.pinned) return AddResult::Added;
        return SigningFailed(outcome,
                             pin.error != kErrorSuccess ? SigningProblem::SettingsUnreadable
                                                        : SigningProblem::KeyPinned,
                             pin.error);
    }
    outcome.list = CheckListSignature(&releaseList, pin);
    if (outcome.list.settingsError != kErrorSuccess) {
        return SigningFailed(outcome, SigningProblem::SettingsUnreadable,
                             outcome.list.settingsError);
    }
    if (IsAlarm(outcome.list.state)) {
        return SigningFailed(outcome, SigningProblem::ListNotAsSigned, kErrorSuccess);
    }
    const SigningProblem problem = signer.Open(*key);
    if (problem != SigningProblem::None) return SigningFailed(outcome, problem, signer.Error());
    return AddResult::Added;
}

// Writes the entry of the file at `path`: the comment is left as it is, so a
// refreshed entry keeps it.
void WriteFileEntry(CIniFile& releaseList, const char* section, int n, const std::string& name,
                    const std::string& path) {
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
    WriteEntry(releaseList, section, n, record);
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

AddResult AddReleaseFile(const std::string& name, int directoryIndex, const CUpdateKey* key,
                         AddOutcome& outcome) {
    outcome = AddOutcome();
    if (name.empty() || directoryIndex < 0 || directoryIndex > 1) return AddResult::Ignored;
    if (!IsBareFileName(name)) return AddResult::NotBareName;
    if (!IsStorableName(name)) return AddResult::Unstorable;
    const char* section = kComponentDirectories[directoryIndex].section;
    const std::string path = AddedFilePath(section, name);
    if (path.empty()) return AddResult::Unstorable;

    CWriterLock lock;
    if (!lock.Held()) return Failed(outcome, AddResult::WriteFailed, lock.Error());
    CIniFile releaseList;
    if (!releaseList.Load(ProfilePath(kReleaseListName))) {
        return Failed(outcome, AddResult::ReadFailed, releaseList.LoadError());
    }
    // Lines the engine cannot place may be entries it cannot see (a list
    // with other line ends, or junk): a new entry there could take a number
    // that the list already holds, or a second section of the same name.
    if (!IsUnderstood(releaseList)) return AddResult::ListNotUnderstood;
    bool existing = false;
    const int n = FindEntry(releaseList, section, name, existing);
    if (n == 0) return AddResult::NoFreeNumber;
    CSiteSigner signer;
    const AddResult allowed = OpenSigner(releaseList, key, signer, outcome);
    if (allowed != AddResult::Added) return allowed;

    WriteFileEntry(releaseList, section, n, name, path);
    if (key) {
        if (!signer.Sign(releaseList, outcome.list.sequence)) {
            return SigningFailed(outcome, SigningProblem::SystemFailed, kErrorSuccess);
        }
        if (signer.Commit() != kErrorSuccess) {
            return SigningFailed(outcome, SigningProblem::SettingsWriteFailed, signer.Error());
        }
        outcome.signedList = true;
        outcome.madeKey = signer.MadeKey();
        outcome.sequence = signer.Sequence();
        outcome.publicKey = signer.PublicKey();
    }
    if (!releaseList.Save()) {
        return Failed(outcome, AddResult::WriteFailed, releaseList.LastSaveError());
    }
    outcome.entry = n;
    return existing ? AddResult::Refreshed : AddResult::Added;
}

AddResult AddReleaseFile(const std::string& name, int directoryIndex, int* entry, uint32_t* error) {
    AddOutcome outcome;
    const AddResult result = AddReleaseFile(name, directoryIndex, nullptr, outcome);
    if (entry && (result == AddResult::Added || result == AddResult::Refreshed)) {
        *entry = outcome.entry;
    }
    if (error) *error = outcome.error;
    return result;
}

}  // namespace qm
