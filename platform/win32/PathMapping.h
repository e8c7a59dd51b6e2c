// How the Windows side of the seam places a path: with a drive root set
// (SetPlatformRoots), a path that begins with a single backslash is taken
// below that root instead of the root of the current drive; a Windows
// directory set there replaces GetWindowsDirectoryA.
#pragma once

#include <string>

namespace qm::win32 {

// The path with the drive root put in place of the current drive's root.
std::string MapPath(const std::string& path);

// The Windows directory: the roots' own, else GetWindowsDirectoryA's,
// whatever its length; "" when the system gives none.
std::string WindowsDirectory();

}  // namespace qm::win32
