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
#include <sys/types.h>

#include <memory>

#include "platform/Platform.h"

namespace qm::posix {

// Takes over `fd`, a regular file just opened for reading (its status flags
// may hold O_NONBLOCK, which reads of a regular file ignore), and `opened`,
// its state at the open (the first Facts until anything is read).
std::unique_ptr<IReadFile> MakeReadFile(int fd, const struct stat& opened);

// The positional read that every reader makes (pread), so that a test can
// make it fail as a drive or a file system would. Process-wide; returns the
// one in force before, which the test puts back.
using PositionalRead = ssize_t (*)(int fd, void* buffer, size_t count, off_t offset);
PositionalRead SetPositionalRead(PositionalRead read);

}  // namespace qm::posix
