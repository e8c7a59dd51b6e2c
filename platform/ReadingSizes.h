// The sizes in which program files are read, in one place for the core's
// readers (core/FileDigests.h) and the posix reader (posix/ReadFile.h),
// each with what chose it. Portable: the core may include it.
#pragma once

#include <cstddef>

namespace qm {

// The piece in which a program file is read and handed to the digests; a
// file of one piece is read in one call, and its SHA-256 runs beside
// another's. Chosen by measurement: qmverify-cli compare of the 10,000
// files of bench_compare (4 to 200 KiB, warm), processor time of three runs
// on two processors (AMD EPYC, shared): 64 KiB 1.17-1.41 s, 256 KiB
// 0.95-1.08 s, 1 MiB 0.99-1.11 s. Larger pieces gain nothing more and take
// four times the memory of each reader.
constexpr size_t kReadPieceSize = 256 * 1024;

// The alignment of the buffer, the offset and the length of a read that
// passes the page cache (O_DIRECT): a page, which is also the sector of
// every drive up to 4Kn. Not measured: the system refuses less.
constexpr size_t kReadAlignment = 4096;

}  // namespace qm
