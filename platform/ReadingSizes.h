// The sizes in which program files are read, in one place for the core's
// readers (core/FileDigests.h) and the posix reader (posix/ReadFile.h),
// each with what chose it. Portable: the core may include it.
#pragma once

#include <cstddef>

namespace qm {

// The piece in which a program file is read and handed to the digests.
// Chosen by measurement (bench_compare, 10,000 files of 4 to 200 KiB, and a
// 256 MiB file, on two processors): see the figures in the commit that last
// changed it, summed up here. Smaller pieces cost a system call and a lock
// per 64 KiB; larger ones no longer fit a processor's second-level cache,
// from which the SHA-256 reads what the read just wrote.
constexpr size_t kReadPieceSize = 256 * 1024;

// The alignment of the buffer, the offset and the length of a read that
// passes the page cache (O_DIRECT): a page, which is also the sector of
// every drive up to 4Kn. Not measured: the system refuses less.
constexpr size_t kReadAlignment = 4096;

}  // namespace qm
