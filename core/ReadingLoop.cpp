#include "core/ReadingLoop.h"

#include <algorithm>
#include <memory>

#include "platform/Platform.h"

namespace qm {

namespace {

// A platform that reports success without a file has opened nothing.
uint32_t OpenToRead(const std::string& path, std::unique_ptr<IReadFile>& file) {
    const uint32_t error = Platform().OpenForReading(path, file);
    return error == kErrorSuccess && !file ? uint32_t{kErrorCrc} : error;
}

// Facts the system could not give say nothing.
bool ChangedBetween(bool hadBefore, const FileFacts& before, bool hasAfter,
                    const FileFacts& after) {
    if (!hadBefore || !hasAfter) return false;
    return before.size != after.size || before.lastWrite.ticks != after.lastWrite.ticks;
}

enum class OneRead { ToTheEnd, Failed, Stopped, GaveMore };

// Reads the open file from its first byte into `sink`. A short piece that
// brings what was read to the size noted before is the end: the read that
// would find nothing more is spared, and the look after the read tells a
// file that grew meanwhile. More than that size is a change, however the
// look after tells it. Without a size, it reads until a read finds nothing.
OneRead ReadOnce(IReadFile& file, IPieceSink& sink, bool sizeKnown, uint64_t size) {
    uint64_t total = 0;
    for (;;) {
        size_t capacity = 0;
        unsigned char* room = sink.Room(capacity);
        if (room == nullptr) return OneRead::Stopped;
        size_t bytesRead = 0;
        if (!file.Read(room, capacity, bytesRead)) {
            sink.Piece(room, 0);
            return OneRead::Failed;
        }
        // Never past the room, whatever the platform claims.
        bytesRead = std::min(bytesRead, capacity);
        sink.Piece(room, bytesRead);
        if (bytesRead == 0) return OneRead::ToTheEnd;
        total += bytesRead;
        if (sizeKnown && total > size) return OneRead::GaveMore;
        if (sizeKnown && bytesRead < capacity && total == size) return OneRead::ToTheEnd;
    }
}

// Whether the size at the open rules a reading out before its first byte.
std::optional<ReadingEnd> RuledOut(const SizeBounds& bounds, uint64_t size) {
    if (bounds.recorded && *bounds.recorded != size) return ReadingEnd::SizeDiffers;
    if (bounds.largest != 0 && size > bounds.largest) return ReadingEnd::TooLarge;
    return std::nullopt;
}

}  // namespace

ReadingEnd ReadFilePieces(const std::string& path, IPieceSink& sink, ReadingFacts& facts,
                          const SizeBounds& bounds) {
    for (int attempt = 0; attempt <= kRereadsOfAChangingFile; ++attempt) {
        std::unique_ptr<IReadFile> file;
        facts = ReadingFacts();
        facts.openError = OpenToRead(path, file);
        if (facts.openError != kErrorSuccess) return ReadingEnd::OpenFailed;
        FileFacts before;
        const bool hadBefore = file->Facts(before);
        facts.sizeKnown = hadBefore;
        facts.size = hadBefore ? before.size : 0;
        if (hadBefore) {
            if (const std::optional<ReadingEnd> ruled = RuledOut(bounds, before.size))
                return *ruled;
        }
        sink.Begin();
        switch (ReadOnce(*file, sink, hadBefore, before.size)) {
            case OneRead::Stopped:
                return ReadingEnd::Stopped;
            case OneRead::Failed:
                return ReadingEnd::ReadFailed;
            case OneRead::GaveMore:
                continue;
            case OneRead::ToTheEnd:
                break;
        }
        FileFacts after;
        const bool hasAfter = file->Facts(after);
        if (!ChangedBetween(hadBefore, before, hasAfter, after)) return ReadingEnd::Whole;
    }
    return ReadingEnd::Changing;
}

}  // namespace qm
