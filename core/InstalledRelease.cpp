#include "core/InstalledRelease.h"

#include <cstdint>
#include <vector>

#include "core/BoundedFormat.h"
#include "core/Capacities.h"
#include "platform/Platform.h"

namespace qm {

const char kQmwRegistryKey[] = "SOFTWARE\\Quillmark\\Quillmark Works";
const char kSentinelRegistryKey[] = "SOFTWARE\\Quillmark\\Quillmark Sentinel";

namespace {

// A text value cut to its capacity (kRegistryTextCapacity); "" when the
// value is missing or of another type.
std::string TextValue(const RegistryValue& value) {
    if (value.type != RegistryValue::Type::Text) return std::string();
    return CutToCapacity(value.data, kRegistryTextCapacity);
}

// A 32-bit number; false when the value is missing or of another type.
bool DwordValue(const RegistryValue& value, int32_t& number) {
    if (value.type != RegistryValue::Type::Dword || value.data.size() != 4) return false;
    uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(value.data[i]);
    number = static_cast<int32_t>(bits);
    return true;
}

// "%d.%d" when both numbers are known, the major alone when only it is, and
// nothing when the major is unknown: never an invented number.
std::string VersionText(bool hasMajor, int32_t major, bool hasMinor, int32_t minor) {
    if (!hasMajor) return std::string();
    if (!hasMinor)
        return BoundedFormat(kRegistryTextCapacity, nullptr, "%d", static_cast<int>(major));
    return BoundedFormat(kRegistryTextCapacity, nullptr, "%d.%d", static_cast<int>(major),
                         static_cast<int>(minor));
}

}  // namespace

std::optional<InstalledRelease> ReadInstalledRelease(const char* keyPath) {
    const std::vector<std::string> names = {"Installation Date", "Installation Time",
                                            "Version_Major", "Version_Minor"};
    std::vector<RegistryValue> values;
    if (!Platform().ReadMachineKey(keyPath, names, values)) return std::nullopt;
    values.resize(names.size());  // a short answer reads as missing values

    const std::string date = ReorderDate(TextValue(values[0]));
    const std::string time = TextValue(values[1]);
    int32_t major = 0;
    int32_t minor = 0;
    const bool hasMajor = DwordValue(values[2], major);
    const bool hasMinor = DwordValue(values[3], minor);

    InstalledRelease release;
    for (size_t i = 2; i < names.size(); ++i) {
        if (values[i].type == RegistryValue::Type::CutDword) release.cutValues.push_back(names[i]);
    }
    release.version = VersionText(hasMajor, major, hasMinor, minor);
    // With neither date nor time known there is nothing to show, not a blank.
    if (!date.empty() || !time.empty()) {
        release.installedOn =
            BoundedFormat(kInstalledOnCapacity, nullptr, "%s %s", date.c_str(), time.c_str());
    }
    return release;
}

std::string ReorderDate(const std::string& date) {
    const std::string copy = CutToCapacity(date, kRegistryTextCapacity);
    // Split as strtok splits at "-": runs of "-" are one separator and no
    // field is empty; only the first three fields count.
    std::vector<std::string> fields;
    size_t position = 0;
    while (fields.size() < 3) {
        position = copy.find_first_not_of('-', position);
        if (position == std::string::npos) break;
        const size_t end = copy.find('-', position);
        fields.push_back(copy.substr(position, end == std::string::npos ? end : end - position));
        position = end;
    }
    if (fields.size() < 3) return copy;  // not a date of three fields: shown as it stands
    return BoundedFormat(kRegistryTextCapacity, nullptr, "%s.%s.%s", fields[1].c_str(),
                         fields[0].c_str(), fields[2].c_str());
}

}  // namespace qm
