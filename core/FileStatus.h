// The status of one compared file; the value is also the row's image index.
// NotListed is a program file of a component directory that no entry of its
// section names (a planted file).
#pragma once

namespace qm {

enum FileStatus { Identical = 0, NotIdentical = 1, Updated = 2, NotListed = 3 };
constexpr int kStatusCount = 4;

}  // namespace qm
