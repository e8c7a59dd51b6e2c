#include "platform/posix/Drive.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <fstream>

namespace qm::posix {

namespace {

std::string FirstLineOf(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\n')) line.pop_back();
    return line;
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

std::string Resolved(const std::string& path) {
    char buffer[PATH_MAX];
    return realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
}

}  // namespace

DriveKind KindOfBlockDevice(const BlockDeviceFacts& facts) {
    if (facts.rotational == "0") return DriveKind::NoSeek;
    if (facts.rotational != "1") return DriveKind::Unknown;
    // Paravirtual disks, and the disks that hypervisors emulate.
    static const char* const kVirtualBuses[] = {"/virtio", "/xen", "/vbd-", "/hyperv", "/VMBUS"};
    for (const char* bus : kVirtualBuses) {
        if (Contains(facts.sysPath, bus)) return DriveKind::Virtual;
    }
    static const char* const kVirtualMakers[] = {"QEMU", "VMware", "VBOX", "Virtual", "Msft"};
    for (const char* maker : kVirtualMakers) {
        if (Contains(facts.vendor, maker) || Contains(facts.model, maker)) {
            return DriveKind::Virtual;
        }
    }
    return DriveKind::Spinning;
}

DriveKind KindOfDrive(const std::string& nativePath) {
    struct stat info;
    if (stat(nativePath.c_str(), &info) != 0) return DriveKind::Unknown;
    const std::string device = "/sys/dev/block/" + std::to_string(major(info.st_dev)) + ":" +
                               std::to_string(minor(info.st_dev));
    BlockDeviceFacts facts;
    facts.sysPath = Resolved(device);
    if (facts.sysPath.empty()) return DriveKind::Unknown;  // no block device: tmpfs, overlay, ...
    // A partition keeps its queue and device in its disk's folder.
    std::string disk = facts.sysPath;
    if (!FirstLineOf(disk + "/partition").empty()) disk = disk.substr(0, disk.rfind('/'));
    facts.rotational = FirstLineOf(disk + "/queue/rotational");
    facts.vendor = FirstLineOf(disk + "/device/vendor");
    facts.model = FirstLineOf(disk + "/device/model");
    return KindOfBlockDevice(facts);
}

}  // namespace qm::posix
