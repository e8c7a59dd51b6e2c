// The kind of block device that holds a file on Linux, from what the kernel
// publishes in /sys: a rotating disk, a drive without seek penalty, or a
// virtual disk whose "rotational" flag says nothing about the storage behind
// it (virtio and Xen disks, and SCSI disks that a hypervisor emulates, report
// rotational = 1 whatever holds their data).
#pragma once

#include <string>

#include "platform/Platform.h"

namespace qm::posix {

DriveKind KindOfDrive(const std::string& nativePath);

// The decision itself, from the device's entry in /sys (its resolved path,
// its queue's rotational flag, and its vendor and model texts), so that it
// can be tested without such a device.
struct BlockDeviceFacts {
    std::string sysPath;  // such as /sys/devices/pci0000:00/0000:00:02.0/virtio1/block/vda
    std::string rotational;
    std::string vendor;
    std::string model;
};
DriveKind KindOfBlockDevice(const BlockDeviceFacts& facts);

}  // namespace qm::posix
