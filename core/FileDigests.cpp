#include "core/FileDigests.h"

namespace qm {

FileDigests DigestsOf(ReadingEnd end, const ReadingFacts& facts, CFileHashes& hashes) {
    FileDigests digests;
    digests.sizeKnown = facts.sizeKnown;
    digests.size = facts.size;
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
            digests.openError = facts.openError;
            break;
        case ReadingEnd::SizeDiffers:
            digests.sizeDiffers = true;
            break;
        case ReadingEnd::TooLarge:
            digests.tooLarge = true;
            break;
        case ReadingEnd::Stopped:
            break;
    }
    return digests;
}

void CFileReader::Read(const std::string& path, Digests which, bool holdOnePiece,
                       const SizeBounds& bounds) {
    m_which = which;
    m_bHold = holdOnePiece;
    m_hashes.reset();
    m_held = 0;
    m_end = ReadFilePieces(path, *this, m_facts, bounds);
    // Only a file read whole waits in the buffer: of one that failed part
    // way, the CRC of what was read is shown at once.
    if (m_end != ReadingEnd::Whole) HashHeldPiece();
}

void CFileReader::Begin() {
    m_hashes.emplace(m_crc, m_which);
    m_held = 0;
    m_bFirst = true;
}

unsigned char* CFileReader::Room(size_t& capacity) {
    HashHeldPiece();  // a second piece needs the buffer
    capacity = CReadBuffer::kPieceSize;
    return m_buffer.Data();
}

void CFileReader::Piece(unsigned char* room, size_t size) {
    if (size > 0 && m_bHold && m_bFirst) {
        m_held = size;
    } else if (size > 0) {
        m_hashes->Add(room, size);
    }
    m_bFirst = m_bFirst && size == 0;
}

void CFileReader::HashHeldPiece() {
    if (m_held > 0) m_hashes->Add(m_buffer.Data(), m_held);
    m_held = 0;
}

CFileHashes& CFileReader::Hashes() {
    if (!m_hashes) m_hashes.emplace(m_crc, m_which);  // nothing was read
    return *m_hashes;
}

FileDigests CFileReader::Result() {
    HashHeldPiece();
    return DigestsOf(m_end, m_facts, Hashes());
}

FileDigests ReadFileDigests(const CCrc32& crc, const std::string& path, CReadBuffer& buffer,
                            Digests which, const SizeBounds& bounds) {
    CFileReader reader(crc, buffer);
    reader.Read(path, which, false, bounds);
    return reader.Result();
}

}  // namespace qm
