#include "core/FileDigests.h"

#include <optional>

namespace qm {

namespace {

// Each read of the file into fresh hashes, from one buffer. A sink that
// holds its first piece leaves it in the buffer, unhashed, until a second
// piece needs the buffer or the caller hashes it (beside another file's).
class CDigestSink : public IPieceSink {
public:
    CDigestSink(const CCrc32& crc, CReadBuffer& buffer, Digests which, bool holdFirstPiece)
        : m_crc(crc), m_buffer(buffer), m_which(which), m_bHoldFirst(holdFirstPiece) {}
    void Begin() override {
        m_hashes.emplace(m_crc, m_which);
        m_held = 0;
        m_bFirst = true;
    }
    unsigned char* Room(size_t& capacity) override {
        HashHeldPiece();
        capacity = CReadBuffer::kPieceSize;
        return m_buffer.Data();
    }
    void Piece(unsigned char* room, size_t size) override {
        if (size > 0 && m_bHoldFirst && m_bFirst) {
            m_held = size;
        } else if (size > 0) {
            m_hashes->Add(room, size);
        }
        m_bFirst = m_bFirst && size == 0;
    }
    // The piece held back, when the file was no more than it.
    size_t Held() const { return m_held; }
    void HashHeldPiece() {
        if (m_held > 0) m_hashes->Add(m_buffer.Data(), m_held);
        m_held = 0;
    }
    CFileHashes& Hashes() {
        if (!m_hashes) m_hashes.emplace(m_crc, m_which);  // nothing was read
        return *m_hashes;
    }

private:
    const CCrc32& m_crc;
    CReadBuffer& m_buffer;
    Digests m_which;
    bool m_bHoldFirst;
    bool m_bFirst = true;
    size_t m_held = 0;
    std::optional<CFileHashes> m_hashes;
};

}  // namespace

FileDigests DigestsOf(ReadingEnd end, uint32_t openError, CFileHashes& hashes) {
    FileDigests digests;
    switch (end) {
        case ReadingEnd::Whole:
            digests.readWhole = true;
            digests.crc = hashes.Crc();
            digests.hasSha256 = hashes.HasSha256();
            digests.sha256 = hashes.Sha256();
            break;
        case ReadingEnd::ReadFailed:
            // The CRC of the bytes read up to the failure, as it always was
            // shown; the file is not read whole, so it matches nothing.
            digests.crc = hashes.Crc();
            break;
        case ReadingEnd::Changing:
            digests.changing = true;
            break;
        case ReadingEnd::OpenFailed:
            digests.openError = openError;
            break;
        case ReadingEnd::Stopped:
            break;
    }
    return digests;
}

FileDigests ReadFileDigests(const CCrc32& crc, const std::string& path, CReadBuffer& buffer,
                            Digests which) {
    CDigestSink sink(crc, buffer, which, false);
    uint32_t openError = kErrorSuccess;
    const ReadingEnd end = ReadFilePieces(path, sink, openError);
    return DigestsOf(end, openError, sink.Hashes());
}

void ReadFileDigestsOfTwo(const CCrc32& crc, const FileToRead& first, const FileToRead& second,
                          FileDigests& firstDigests, FileDigests& secondDigests) {
    CDigestSink firstSink(crc, first.buffer, first.digests, true);
    CDigestSink secondSink(crc, second.buffer, second.digests, true);
    uint32_t firstError = kErrorSuccess;
    uint32_t secondError = kErrorSuccess;
    const ReadingEnd firstEnd = ReadFilePieces(first.path, firstSink, firstError);
    const ReadingEnd secondEnd = ReadFilePieces(second.path, secondSink, secondError);
    if (firstSink.Held() > 0 && secondSink.Held() > 0) {
        CFileHashes::AddBoth(firstSink.Hashes(), first.buffer.Data(), firstSink.Held(),
                             secondSink.Hashes(), second.buffer.Data(), secondSink.Held());
    } else {
        firstSink.HashHeldPiece();
        secondSink.HashHeldPiece();
    }
    firstDigests = DigestsOf(firstEnd, firstError, firstSink.Hashes());
    secondDigests = DigestsOf(secondEnd, secondError, secondSink.Hashes());
}

}  // namespace qm
