// A regular file opened for reading on posix (IReadFile), read the cheapest
// way the system offers.
//
// A file that is in the page cache, even in part, is read from it as usual.
// A file of which nothing is cached (asked at the open with cachestat, which
// reads nothing) is read past the cache with O_DIRECT where the file system
// allows it: the drive then writes into
// the reader's buffer, which spares the system a page-cache fill and a copy
// of every byte (on a machine of two processors that copy costs as much as
// the SHA-256 of the same bytes), and a check of a whole installation does
// not push what others keep in the cache out of it.
#pragma once

#include <sys/stat.h>

#include <memory>

#include "platform/Platform.h"

namespace qm::posix {

// Takes over `fd`, a regular file just opened for reading, and `opened`, its
// state at the open (the first Facts until anything is read).
std::unique_ptr<IReadFile> MakeReadFile(int fd, const struct stat& opened);

// The alignment that a buffer, an offset and a length need for O_DIRECT.
constexpr size_t kDirectAlignment = 4096;

}  // namespace qm::posix
