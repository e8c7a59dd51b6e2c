// How the posix stand-in maps Windows-style paths onto the native file
// system: backslash and slash separate components, a leading backslash or a
// drive letter starts at the drive root ($QMVERIFY_ROOT, default "/"), and the
// dots that end a directory name are dropped. Paths that start with "/" are
// native absolute paths; all others are relative to the current directory.
#pragma once

#include <string>

namespace qm::posix {

// A Windows-style path as a native one.
std::string MapPath(const std::string& path);

// A native path made absolute against the current directory, without
// trailing slashes (except for "/" itself).
std::string MakeAbsolute(std::string path);

// The directory that a native path lies in.
std::string ParentOf(const std::string& nativePath);

// The Windows directory: the roots' own, else $QMVERIFY_WINDIR, else
// "./windows" below the current directory; made absolute.
std::string WindowsDirectory();

// The value of an environment variable, "" when it is not set.
std::string EnvironmentText(const char* name);

}  // namespace qm::posix
