// How the Windows side of the seam places a path: with a drive root set
// (SetPlatformRoots), a path that begins with a single backslash is taken
// below that root instead of the root of the current drive; a Windows
// directory set there replaces GetWindowsDirectoryW. Every call of the seam
// names its file with WidePath, in UTF-16, so that any name is reached.
#pragma once

#include <string>

namespace qm::win32 {

// The path with the drive root put in place of the current drive's root.
std::string MapPath(const std::string& path);

// MapPath in UTF-16 for the system's W calls. A path of MAX_PATH or more
// characters, which those calls refuse, is made whole by the system's path
// rules (GetFullPathNameW: the dot that ends a directory name dropped) and
// given the "\\?\" prefix that lifts the limit.
std::wstring WidePath(const std::string& path);

// The Windows directory: the roots' own, else GetWindowsDirectoryA's,
// whatever its length; "" when the system gives none.
std::string WindowsDirectory();

}  // namespace qm::win32
