#include "core/DllRedirection.h"

#include <memory>
#include <vector>

#include "platform/AsciiCase.h"
#include "platform/Platform.h"

namespace qm {

const char kImageFileExecutionOptionsKey[] =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options";

namespace {

// The lower-case name less `ending` when it ends so, else "".
std::string StemBefore(const std::string& lowerName, const std::string& ending) {
    if (lowerName.size() <= ending.size()) return std::string();
    if (lowerName.compare(lowerName.size() - ending.size(), ending.size(), ending) != 0)
        return std::string();
    return lowerName.substr(0, lowerName.size() - ending.size());
}

bool BesideAProgram(const std::string& lowerName, const char* ending,
                    const std::unordered_set<std::string>& programs) {
    const std::string stem = StemBefore(lowerName, ending);
    return !stem.empty() && programs.count(stem) != 0;
}

// Whether the file begins with "MZ", the mark of every Windows program and
// DLL: one read of two bytes.
bool StartsLikeAProgram(const std::string& path) {
    std::unique_ptr<IReadFile> file;
    if (Platform().OpenForReading(path, file) != kErrorSuccess || !file) return false;
    char head[2] = {0, 0};
    size_t got = 0;
    while (got < sizeof head) {
        size_t read = 0;
        if (!file->Read(head + got, sizeof head - got, read) || read == 0) return false;
        got += read;
    }
    return head[0] == 'M' && head[1] == 'Z';
}

}  // namespace

bool DllRedirectionEnabled() {
    std::vector<RegistryValue> values;
    if (!Platform().ReadMachineKey(kImageFileExecutionOptionsKey, {"DevOverrideEnable"}, values) ||
        values.empty()) {
        return false;
    }
    const RegistryValue& value = values[0];
    return value.type == RegistryValue::Type::Dword && value.data == std::string("\1\0\0\0", 4);
}

RowCause LoadCauseOf(const std::string& name, bool isFolder, const std::string& path,
                     const std::unordered_set<std::string>& programs) {
    const std::string lower = AsciiLowerCopy(name);
    if (BesideAProgram(lower, ".local", programs)) return RowCause::DllRedirection;
    if (isFolder) return RowCause::Unknown;
    if (BesideAProgram(lower, ".manifest", programs) || BesideAProgram(lower, ".config", programs))
        return RowCause::Manifest;
    return StartsLikeAProgram(path) ? RowCause::ProgramByContent : RowCause::Unknown;
}

}  // namespace qm
