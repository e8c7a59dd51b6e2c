#include "core/FileDigests.h"

#include <optional>

namespace qm {

namespace {

// Each read of the file into fresh hashes, from one buffer.
class CDigestSink : public IPieceSink {
public:
    CDigestSink(const CCrc32& crc, CReadBuffer& buffer, Digests which)
        : m_crc(crc), m_buffer(buffer), m_which(which) {}
    void Begin() override { m_hashes.emplace(m_crc, m_which); }
    unsigned char* Room(size_t& capacity) override {
        capacity = CReadBuffer::kPieceSize;
        return m_buffer.Data();
    }
    void Piece(unsigned char* room, size_t size) override {
        if (size > 0) m_hashes->Add(room, size);
    }
    CFileHashes& Hashes() {
        if (!m_hashes) m_hashes.emplace(m_crc, m_which);  // nothing was read
        return *m_hashes;
    }

private:
    const CCrc32& m_crc;
    CReadBuffer& m_buffer;
    Digests m_which;
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
    CDigestSink sink(crc, buffer, which);
    uint32_t openError = kErrorSuccess;
    const ReadingEnd end = ReadFilePieces(path, sink, openError);
    return DigestsOf(end, openError, sink.Hashes());
}

}  // namespace qm
