// A file written under a name that nothing had: the temporary file that a
// save or a build writes before it takes the place of the real one. It is
// always created new, so that it never overwrites, and never removes, a file
// that someone else made.
#pragma once

#include <cstdint>
#include <string>

namespace qm {

struct FreshFileResult {
    std::string path;    // the name written; "" when none could be
    uint32_t error = 0;  // the system's reason when nothing was written
};

// Writes `contents` into a new file named `base`, or, when a file of that
// name exists, `base` followed by 2, 3, ... up to 100. A write that fails
// leaves no file of its own behind.
FreshFileResult WriteFreshFile(const std::string& base, const std::string& contents);

}  // namespace qm
