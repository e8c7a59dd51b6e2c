// Whether a file name matches a search mask of "*" and "?", the one matcher
// of every directory search on every platform. It looks at the long name
// alone: Windows' own search also matches the 8.3 short name, so that
// "*.exe" finds "tool.exe_old" (short name TOOL~1.EXE) and "*.dll" finds
// "app.dllx"; the search keeps only names this matcher takes.
#pragma once

#include <string_view>

#include "platform/AsciiCase.h"

namespace qm {

// "*" matches any run of characters, "?" exactly one; letters match without
// regard to ASCII case. "*.*" matches every name, with or without a dot, as
// Windows reads it.
inline bool NameMatchesMask(std::string_view mask, std::string_view name) {
    if (mask == "*.*") mask = "*";
    size_t m = 0;
    size_t n = 0;
    size_t starMask = std::string_view::npos;  // just after the last '*' seen
    size_t starName = 0;                       // where that '*' began to match
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = ++m;
            starName = n;
        } else if (m < mask.size() &&
                   (mask[m] == '?' || AsciiLower(mask[m]) == AsciiLower(name[n]))) {
            ++m;
            ++n;
        } else if (starMask != std::string_view::npos) {
            m = starMask;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

}  // namespace qm
