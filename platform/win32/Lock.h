// The writer's lock on Windows: an exclusive LockFileEx on a lock file that
// only Administrators, SYSTEM and its owner may open, and who holds it, as
// the Restart Manager tells.
#pragma once

#include <memory>
#include <string>

#include "platform/Platform.h"

namespace qm::win32 {

uint32_t TryLockFile(const std::string& path, std::unique_ptr<IFileLock>& lock);
std::string LockHolder(const std::string& path);

}  // namespace qm::win32
