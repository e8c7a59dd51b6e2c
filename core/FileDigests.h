// The CRC-32 and the SHA-256 of one program file, taken in one read: each
// piece that the file gives goes into both, so the file is read once. The
// read itself, and the reads again of a file that changes meanwhile, are
// the reading loop's (core/ReadingLoop.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include "core/Crc32.h"
#include "core/ReadingLoop.h"
#include "core/Sha256.h"
#include "platform/Platform.h"
#include "platform/ReadingSizes.h"

namespace qm {

// Which digests a reading takes: the CRC-32 always; the SHA-256 unless
// nothing needs it (an entry that records none is decided by its CRC alone,
// and costs no more than it always did).
enum class Digests { Crc32AndSha256, Crc32Only };

// The running digests of one file: the CRC register and the SHA-256.
class CFileHashes {
public:
    explicit CFileHashes(const CCrc32& crc, Digests digests = Digests::Crc32AndSha256)
        : m_crc(crc), m_bSha256(digests == Digests::Crc32AndSha256) {}
    void Add(const void* data, size_t length) {
        m_register = m_crc.Update(m_register, data, length);
        if (m_bSha256) m_sha256.Update(data, length);
    }
    // Two files' bytes at once: their SHA-256 streams side by side
    // (CSha256::UpdateBoth), each CRC on its own.
    static void AddBoth(CFileHashes& a, const void* dataA, size_t lengthA, CFileHashes& b,
                        const void* dataB, size_t lengthB) {
        if (!a.m_bSha256 || !b.m_bSha256) {
            a.Add(dataA, lengthA);
            b.Add(dataB, lengthB);
            return;
        }
        a.m_register = a.m_crc.Update(a.m_register, dataA, lengthA);
        b.m_register = b.m_crc.Update(b.m_register, dataB, lengthB);
        CSha256::UpdateBoth(a.m_sha256, dataA, lengthA, b.m_sha256, dataB, lengthB);
    }
    uint32_t Crc() const { return ~m_register; }
    // Ends the SHA-256; the object must not be given more bytes after.
    Sha256Digest Sha256() { return m_bSha256 ? m_sha256.Finish() : Sha256Digest{}; }
    bool HasSha256() const { return m_bSha256; }

private:
    const CCrc32& m_crc;
    bool m_bSha256;
    uint32_t m_register = 0xFFFFFFFFu;
    CSha256 m_sha256;
};

struct FileDigests {
    uint32_t openError = kErrorSuccess;  // the system's reason when the file could not be opened
    bool readWhole = false;              // opened and read to its end, unchanged meanwhile
    bool changing = false;               // it changed during every read
    uint32_t crc = 0;  // 0 for a file that cannot be opened; of the bytes read up to a failed read
    bool hasSha256 = false;  // the SHA-256 was taken (and the file read whole)
    Sha256Digest sha256{};
    bool sizeKnown = false;    // the open told the file's size
    uint64_t size = 0;         // bytes at the (last) open
    bool sizeDiffers = false;  // not the recorded size: not read
    bool tooLarge = false;     // beyond the bound of its reading: not read
};

// The digests of a reading that ended so, from the hashes its pieces went
// into (those of its last read).
FileDigests DigestsOf(ReadingEnd end, const ReadingFacts& facts, CFileHashes& hashes);

// The buffer that one reader fills, one piece at a time. The CRC and the
// SHA-256 do not depend on the piece size. It is aligned to a page, so that
// a system that reads past its cache can put the drive's data straight into
// it.
class CReadBuffer {
public:
    static constexpr size_t kPieceSize = kReadPieceSize;
    CReadBuffer()
        : m_bytes(static_cast<unsigned char*>(
              ::operator new[](kPieceSize, std::align_val_t(kReadAlignment)))) {}
    unsigned char* Data() { return m_bytes.get(); }

private:
    struct Release {
        void operator()(unsigned char* bytes) const {
            ::operator delete[](bytes, std::align_val_t(kReadAlignment));
        }
    };
    std::unique_ptr<unsigned char[], Release> m_bytes;
};

// One reader's way through files: the reading loop into its buffer, and the
// digests. A reader asked to hold leaves a file of one piece that it read
// whole unhashed in the buffer, so that its caller can hash it beside
// another file's (CFileHashes::AddBoth); a larger file is hashed while it is
// read. `crc` is only read (CCrc32::Update), so threads may share it.
class CFileReader : private IPieceSink {
public:
    CFileReader(const CCrc32& crc, CReadBuffer& buffer) : m_crc(crc), m_buffer(buffer) {}
    CFileReader(const CFileReader&) = delete;
    CFileReader& operator=(const CFileReader&) = delete;

    // Reads the file at `path` through the platform.
    void Read(const std::string& path, Digests which, bool holdOnePiece,
              const SizeBounds& bounds = SizeBounds());
    // The bytes held: the whole file, not yet in Hashes(); 0 when none.
    size_t Held() const { return m_end == ReadingEnd::Whole ? m_held : 0; }
    const unsigned char* HeldBytes() { return m_buffer.Data(); }
    // The caller put the held bytes into Hashes().
    void ReleaseHeld() { m_held = 0; }
    CFileHashes& Hashes();
    // The digests of the last file read; bytes still held are hashed first.
    FileDigests Result();

private:
    void Begin() override;
    unsigned char* Room(size_t& capacity) override;
    void Piece(unsigned char* room, size_t size) override;
    void HashHeldPiece();

    const CCrc32& m_crc;
    CReadBuffer& m_buffer;
    Digests m_which = Digests::Crc32AndSha256;
    bool m_bHold = false;
    bool m_bFirst = true;
    size_t m_held = 0;
    ReadingEnd m_end = ReadingEnd::Stopped;
    ReadingFacts m_facts;
    std::optional<CFileHashes> m_hashes;
};

// Reads the file at `path` whole (through the platform) into both digests.
FileDigests ReadFileDigests(const CCrc32& crc, const std::string& path, CReadBuffer& buffer,
                            Digests digests = Digests::Crc32AndSha256,
                            const SizeBounds& bounds = SizeBounds());

}  // namespace qm
