#include "platform/win32/Drive.h"

#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <cwchar>

#include "platform/win32/PathMapping.h"

namespace qm::win32 {

namespace {

// Asks the storage stack of an open volume for one property; false when the
// driver does not answer (network drives, Wine, older drivers).
template <class Descriptor>
bool QueryStorage(HANDLE volume, STORAGE_PROPERTY_ID property, Descriptor& answer,
                  DWORD size = sizeof(Descriptor)) {
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = property;
    query.QueryType = PropertyStandardQuery;
    DWORD returned = 0;
    return DeviceIoControl(volume, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, &answer,
                           size, &returned, nullptr) &&
           returned >= sizeof(Descriptor);
}

// The kind of the disk behind the volume `\\.\C:`.
DriveKind KindOfVolume(const std::string& volumeDevice) {
    // No access rights are needed to ask the storage stack.
    HANDLE volume = CreateFileA(volumeDevice.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (volume == INVALID_HANDLE_VALUE) return DriveKind::Unknown;
    DriveKind kind = DriveKind::Unknown;
    union {
        STORAGE_DEVICE_DESCRIPTOR descriptor;
        char bytes[1024];
    } device{};
    if (QueryStorage(volume, StorageDeviceProperty, device.descriptor, sizeof device)) {
        const STORAGE_DEVICE_DESCRIPTOR& d = device.descriptor;
        const auto text = [&device](DWORD offset) {
            return offset > 0 && offset < sizeof device.bytes
                       ? std::string(device.bytes + offset,
                                     strnlen(device.bytes + offset, sizeof device.bytes - offset))
                       : std::string();
        };
        const std::string maker = text(d.VendorIdOffset) + " " + text(d.ProductIdOffset);
        // A virtual disk's seek-penalty flag says nothing of the storage behind it.
        if (d.BusType == BusTypeVirtual || d.BusType == BusTypeFileBackedVirtual ||
            maker.find("Virtual") != std::string::npos || maker.find("QEMU") != std::string::npos ||
            maker.find("VMware") != std::string::npos || maker.find("VBOX") != std::string::npos) {
            kind = DriveKind::Virtual;
        }
    }
    DEVICE_SEEK_PENALTY_DESCRIPTOR penalty{};
    if (kind == DriveKind::Unknown &&
        QueryStorage(volume, StorageDeviceSeekPenaltyProperty, penalty)) {
        kind = penalty.IncursSeekPenalty ? DriveKind::Spinning : DriveKind::NoSeek;
    }
    CloseHandle(volume);
    return kind;
}

}  // namespace

DriveKind KindOfDrive(const std::string& path) {
    wchar_t volume[MAX_PATH];
    if (!GetVolumePathNameW(WidePath(path).c_str(), volume, MAX_PATH)) {
        return DriveKind::Unknown;
    }
    // "C:\" names the volume device "\\.\C:"; a share or a mounted folder
    // has no drive letter to ask.
    // (A long path's volume comes back with its "\\?\" prefix.)
    const wchar_t* letter = wcsncmp(volume, L"\\\\?\\", 4) == 0 ? volume + 4 : volume;
    const bool lettered =
        ((letter[0] >= L'A' && letter[0] <= L'Z') || (letter[0] >= L'a' && letter[0] <= L'z')) &&
        letter[1] == L':';
    if (!lettered) return DriveKind::Unknown;
    return KindOfVolume(std::string("\\\\.\\") + static_cast<char>(letter[0]) + ":");
}

}  // namespace qm::win32
