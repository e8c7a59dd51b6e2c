// A program file opened for reading from start to end on Windows
// (IReadFile): shared with readers only, with the sequential-scan hint.
#pragma once

#include <memory>
#include <string>

#include "platform/Platform.h"

namespace qm::win32 {

uint32_t OpenForReading(const std::string& path, std::unique_ptr<IReadFile>& file);

}  // namespace qm::win32
