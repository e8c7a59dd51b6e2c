#include "core/ReadingLanes.h"

#include <algorithm>
#include <utility>

#include "core/Fingerprint.h"

namespace qm {

namespace {

constexpr size_t kBlock = 64;  // of the SHA-256

}  // namespace

CReadingLanes::CReadingLanes(const CCrc32& crc, Done done)
    : m_crc(crc), m_lanes{Lane(crc), Lane(crc)}, m_done(std::move(done)) {}

void CReadingLanes::Read(size_t index, const FingerprintJob& job) {
    Lane& lane = m_lanes[0].busy ? m_lanes[1] : m_lanes[0];  // one is always free
    if (!job.pathIsWhole) {
        m_done(index, ReadOneFile(m_crc, job, lane.buffer));  // opens nothing
        return;
    }
    lane.index = index;
    lane.reading = FileReading();
    lane.reader.Read(job.path, job.digests, job.digests == Digests::Crc32AndSha256, job.bounds);
    lane.reading.found = FindDirectoryEntry(job.path, lane.reading.lastWrite);
    lane.left = lane.reader.Held();
    lane.next = lane.reader.HeldBytes();
    lane.busy = true;
    if (lane.left == 0) {
        Complete(lane);  // hashed while it was read, or not read whole
    } else if (m_lanes[0].busy && m_lanes[1].busy) {
        HashSideBySide();
    }
}

void CReadingLanes::HashSideBySide() {
    Lane& a = m_lanes[0];
    Lane& b = m_lanes[1];
    const size_t together = std::min(a.left, b.left) / kBlock * kBlock;
    if (together > 0) {
        CFileHashes::AddBoth(a.reader.Hashes(), a.next, together, b.reader.Hashes(), b.next,
                             together);
        for (Lane* lane : {&a, &b}) {
            lane->next += together;
            lane->left -= together;
        }
    }
    // The file with less than a block left ends alone.
    for (Lane* lane : {&a, &b}) {
        if (lane->left < kBlock) Complete(*lane);
    }
}

void CReadingLanes::Finish() {
    for (Lane& lane : m_lanes) {
        if (lane.busy) Complete(lane);
    }
}

void CReadingLanes::Complete(Lane& lane) {
    if (lane.left > 0) lane.reader.Hashes().Add(lane.next, lane.left);
    lane.left = 0;
    lane.reader.ReleaseHeld();
    lane.reading.digests = lane.reader.Result();
    lane.busy = false;
    m_done(lane.index, std::move(lane.reading));
}

}  // namespace qm
