// The kind of drive that holds a file on Windows, as its storage stack
// tells: a rotating disk, a drive without seek penalty, or a virtual disk
// whose seek-penalty flag says nothing of the storage behind it.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace qm::win32 {

DriveKind KindOfDrive(const std::string& path);

}  // namespace qm::win32
