// The one loop that reads a program file.
//
// It opens the file, notes its size and last-write time, reads it from its
// first byte to its last into a piece sink, and looks at the file again. It
// reads no further than the size the file had when it was opened: a file
// that gives more (one that grows, or a system file that never ends, such
// as /proc/self/pagemap, whose size reads as 0) has changed. A file whose
// size at the open is not the one its entry records, or is beyond the
// bound of its reading, is not read at all. A file that changed meanwhile
// (its size or last-write time differ) gave
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
#include <optional>
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

// The largest file that no entry names (a planted one) that a comparison
// reads: so that a giant planted file cannot hold the run, one beyond it is
// shown with its size and not read. Its words are in the row's cause.
constexpr uint64_t kLargestUnlistedFile = uint64_t{1} << 30;
constexpr char kLargestUnlistedFileWords[] = "1 GiB";

// What is known of a file's size before a byte of it is read.
struct SizeBounds {
    std::optional<uint64_t> recorded;  // its entry's size: a file of another size is not read
    uint64_t largest = 0;              // a larger file is not read; 0: no bound
};

enum class ReadingEnd {
    Whole,        // read to its end, unchanged meanwhile
    OpenFailed,   // an open failed (the first, or one to read it again)
    ReadFailed,   // a read failed part way: the pieces before it were given
    Changing,     // it changed during every read
    Stopped,      // the sink gave no room
    SizeDiffers,  // its size is not the recorded one: not read
    TooLarge,     // larger than the bound: not read
};

// What the open found besides the pieces.
struct ReadingFacts {
    uint32_t openError = 0;  // the system's reason of a failed open, else 0
    bool sizeKnown = false;  // the system told the size at the (last) open
    uint64_t size = 0;
};

// Reads the file at `path` through the platform into `sink`.
ReadingEnd ReadFilePieces(const std::string& path, IPieceSink& sink, ReadingFacts& facts,
                          const SizeBounds& bounds = SizeBounds());

}  // namespace qm
