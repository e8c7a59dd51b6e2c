// Directory searches on Windows: the long names that match a mask, and
// whether a directory can be searched at all.
#pragma once

#include <memory>
#include <string>

#include "platform/Platform.h"

namespace qm::win32 {

std::unique_ptr<IDirectorySearch> FindFirst(const std::string& pattern, FoundEntry& first);

// 0 when the directory can be searched, kErrorPathNotFound when there is
// none, else why not.
uint32_t SearchDirectoryError(const std::string& path);

}  // namespace qm::win32
