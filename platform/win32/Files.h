// Files on Windows, the way the core needs them: regular files only, reads
// shared with a writer that replaces the file, new files that never replace
// an existing one, copies that keep the date, moves and hard links. Errors
// come back as the system's codes, never as "success".
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace qm::win32 {

// The error of the call that just failed; never "success".
uint32_t LastError();

// The error of an open of `widePath` (WidePath's) that failed with `error`:
// a directory (which CreateFileW refuses as access denied) is no regular
// file.
uint32_t OpenError(const std::wstring& widePath, DWORD error);

// The size and last-write time of an open file, and its attributes, in the
// fewest calls that give them; false when the system cannot say.
bool HandleFacts(HANDLE handle, FileFacts& facts, DWORD& attributes);

// Whether an open handle is a regular file: a disk file that is neither a
// directory nor a device. `facts` (when given) receives its size and
// last-write time as they were then.
bool IsRegularFile(HANDLE handle, FileFacts* facts = nullptr);

bool FileExists(const std::string& path);
bool RemoveFile(const std::string& path);
uint32_t CopyFileKeepingDate(const std::string& from, const std::string& to);
uint32_t MoveReplace(const std::string& from, const std::string& to);
uint32_t HardLink(const std::string& existing, const std::string& link);
ReadResult ReadWholeFile(const std::string& path, std::string& contents);
uint32_t CreateNewFile(const std::string& path, const std::string& contents);
bool IsReadOnly(const std::string& path);

// The flush that every new file gets before it is closed (FlushFileBuffers),
// so that a test can make it fail as a file system would. Process-wide;
// returns the one in force before, which the test puts back.
using FlushFile = BOOL(WINAPI*)(HANDLE file);
FlushFile SetFlushFile(FlushFile flush);

}  // namespace qm::win32
