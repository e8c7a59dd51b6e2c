// The status of one compared file; the value is also the row's image index.
#pragma once

namespace qm {

enum FileStatus { Identical = 0, NotIdentical = 1, Updated = 2 };

}  // namespace qm
