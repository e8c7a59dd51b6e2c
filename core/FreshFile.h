// A file written under a name that nothing had: the temporary file that a
// save or a build writes before it takes the place of the real one. It is
// always created new, so that it never overwrites a file that someone else
// made.
//
// The names form a series: `base`, then `base` followed by 2, 3, ... up to
// 100. A writer of ours that was killed between creating its file and moving
// it into place leaves one behind; while this thread holds the writer lock
// (core/WriterLock.h) no other writer of ours is at work, so every name of
// the series that exists is such a leftover and is removed first. Without
// the lock nothing is removed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qm {

struct FreshFileResult {
    std::string path;    // the name written; "" when none could be
    uint32_t error = 0;  // the system's reason when nothing was written
};

// Writes `contents` into the first free name of the series of `base`. A
// write that fails leaves no file of its own behind; kErrorFileExists when
// every name is taken.
FreshFileResult WriteFreshFile(const std::string& base, const std::string& contents);

// The names of the series of `base` that are taken: what stands in the way
// when no name was free.
std::vector<std::string> TakenFreshNames(const std::string& base);

}  // namespace qm
