// The one loop that reads a program file.
//
// It opens the file, notes its size and last-write time, reads it from its
// first byte to its last into a piece sink, and looks at the file again. A
// file that changed meanwhile (its size or last-write time differ) gave
// pieces of neither version: it is read again, up to kRereadsOfAChangingFile
// more times, and when it changed every time, the reading ends as changing
// rather than with pieces that belong to no version.
//
// Every read of a program file goes through here: its digests on the
// calling thread (ReadFileDigests), the one reader that hands its pieces to
// the hashing threads (core/ParallelFingerprints.h) and CCrc32::FileCrc32.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qm {

// How many times a file that changes while it is read is read again.
constexpr int kRereadsOfAChangingFile = 3;

// Where the pieces of a file go while it is read.
class IPieceSink {
public:
    virtual ~IPieceSink() = default;
    // A read of the file begins at its first byte: pieces given before it
    // belong to a version that changed.
    virtual void Begin() = 0;
    // Room for the next piece and its size; null when the reading is to stop.
    virtual unsigned char* Room(size_t& capacity) = 0;
    // `size` bytes (at most the capacity) were read into `room`; 0 gives
    // `room` back unused.
    virtual void Piece(unsigned char* room, size_t size) = 0;
};

enum class ReadingEnd {
    Whole,       // read to its end, unchanged meanwhile
    OpenFailed,  // an open failed (the first, or one to read it again)
    ReadFailed,  // a read failed part way: the pieces before it were given
    Changing,    // it changed during every read
    Stopped,     // the sink gave no room
};

// Reads the file at `path` through the platform into `sink`; `openError`
// receives the system's reason of a failed open, else 0.
ReadingEnd ReadFilePieces(const std::string& path, IPieceSink& sink, uint32_t& openError);

}  // namespace qm
