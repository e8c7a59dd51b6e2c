// A reader of the default plan that keeps two files' SHA-256 streams side
// by side on its processor.
//
// A file of one piece (most program files) is read whole into one of two
// lanes and waits there unhashed. Whenever both lanes hold bytes, their
// whole blocks are hashed together (CFileHashes::AddBoth) until one file
// ends; that file's digests are done and its lane takes the next file. So
// nearly every block of a run of small files is hashed beside another's,
// not only the shorter file's of a pair. A larger file, or one that needs
// no SHA-256, is hashed while it is read, as ever.
#pragma once

#include <cstddef>
#include <functional>

#include "core/FileDigests.h"
#include "core/ParallelFingerprints.h"

namespace qm {

class CReadingLanes {
public:
    // Where a file goes when its digests are done: its index and reading.
    using Done = std::function<void(size_t index, FileReading reading)>;

    // `crc` must outlive the lanes; they only read it.
    CReadingLanes(const CCrc32& crc, Done done);
    CReadingLanes(const CReadingLanes&) = delete;
    CReadingLanes& operator=(const CReadingLanes&) = delete;

    // Reads job `index` and hands on every file whose digests are done, in
    // any order.
    void Read(size_t index, const FingerprintJob& job);
    // Hashes what the lanes still hold and hands those files on.
    void Finish();

private:
    struct Lane {
        explicit Lane(const CCrc32& crc) : reader(crc, buffer) {}
        CReadBuffer buffer;
        CFileReader reader;
        size_t index = 0;
        FileReading reading;
        const unsigned char* next = nullptr;  // the held bytes not yet hashed
        size_t left = 0;
        bool busy = false;
    };
    void HashSideBySide();
    void Complete(Lane& lane);

    const CCrc32& m_crc;
    Lane m_lanes[2];
    Done m_done;
};

}  // namespace qm
