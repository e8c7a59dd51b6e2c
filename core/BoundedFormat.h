// printf-style formatting into a text of fixed capacity (terminator
// included), as the release operations form their working texts: a result
// that does not fit is cut to capacity - 1 bytes, never overflowing.
#pragma once

#include <cstddef>
#include <string>

namespace qm {

// `fitted` (optional) tells whether the whole result fitted the capacity.
std::string BoundedFormat(size_t capacity, bool* fitted, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// A text cut to capacity - 1 bytes, as a profile read or a copy into a
// buffer of that capacity would leave it.
std::string CutToCapacity(const std::string& text, size_t capacity);

}  // namespace qm
