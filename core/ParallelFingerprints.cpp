#include "core/ParallelFingerprints.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>

#include "core/Fingerprint.h"
#include "core/ReadingLanes.h"

namespace qm {

namespace {

// Reading files is waiting for the drive as much as it is work for the
// processor: more readers than processors keep a solid-state drive busy with
// several reads at once while the processors hash (measured: 8 readers read
// a cold installation a fifth faster than 4 on two processors). A warm one
// loses nothing by them: with 8 readers the operator's thread waits less
// often than with 2 (10,000 files: 3,500 task switches against 7,000 to
// 16,000, the same processor time).
constexpr int kFewestReaders = 8;

// Buffers in flight per hashing thread when one reader feeds them.
constexpr int kBuffersPerHasher = 4;

std::atomic<int> g_chosenJobs{0};

}  // namespace

// One piece of a file, or what restarted or ended its read, on its way from
// the one reader to a hashing thread.
struct CFingerprintQueue::StreamItem {
    enum class Kind { Data, Restart, End };
    Kind kind = Kind::Data;
    int buffer = -1;
    size_t size = 0;
    ReadingEnd end = ReadingEnd::Whole;  // of an End
    uint32_t openError = kErrorSuccess;  // of an End: what the open found
    bool sizeKnown = false;
    uint64_t sizeAtOpen = 0;
};

// One file's pieces on their way from the one reader to a hashing thread.
struct CFingerprintQueue::Stream {
    size_t index = 0;
    FileReading reading;  // the directory entry, looked up by the reader
    std::deque<StreamItem> items;
};

// The one reader's pieces go into the buffers of the queue's pool, and from
// there, in the stream of their file, to a hashing thread.
class CFingerprintQueue::CStreamSink : public IPieceSink {
public:
    CStreamSink(CFingerprintQueue& queue, Stream& stream) : m_queue(queue), m_stream(stream) {}
    void Begin() override {
        if (m_bBegun) m_queue.Push(m_stream, {StreamItem::Kind::Restart});
        m_bBegun = true;
    }
    unsigned char* Room(size_t& capacity) override {
        m_nBuffer = m_queue.TakeFreeBuffer();
        if (m_nBuffer < 0) return nullptr;  // stopped
        capacity = CReadBuffer::kPieceSize;
        return m_queue.m_buffers[m_nBuffer].Data();
    }
    void Piece(unsigned char*, size_t size) override {
        if (size == 0) {
            m_queue.GiveBackBuffer(m_nBuffer);
        } else {
            m_queue.Push(m_stream, {StreamItem::Kind::Data, m_nBuffer, size});
        }
    }

private:
    CFingerprintQueue& m_queue;
    Stream& m_stream;
    bool m_bBegun = false;
    int m_nBuffer = -1;
};

FileReading ReadOneFile(const CCrc32& crc, const FingerprintJob& job, CReadBuffer& buffer) {
    FileReading reading;
    if (!job.pathIsWhole) {
        reading.digests.openError = kErrorInvalidName;
        return reading;
    }
    reading.digests = ReadFileDigests(crc, job.path, buffer, job.digests, job.bounds);
    reading.found = FindDirectoryEntry(job.path, reading.lastWrite);
    return reading;
}

void SetFingerprintJobs(int jobs) { g_chosenJobs.store(jobs < 0 ? 0 : jobs); }

int FingerprintJobs() { return g_chosenJobs.load(); }

ReadingPlan PlanReading(DriveKind kind, int processors, int chosenJobs) {
    ReadingPlan plan;
    processors = std::max(processors, 1);
    if (chosenJobs > 0) {
        plan.threads = std::min(chosenJobs, kMostFilesAtOnce);
        return plan;
    }
    if (kind == DriveKind::Spinning) {
        plan.oneReader = true;
        plan.threads =
            std::min(processors + 1, kMostFilesAtOnce);  // the reader and a hasher per processor
        return plan;
    }
    plan.threads = std::min(std::max(processors, kFewestReaders), kMostFilesAtOnce);
    return plan;
}

ReadingPlan PlanReading(const std::string& path) {
    const int chosen = FingerprintJobs();
    if (chosen > 0) return PlanReading(DriveKind::Unknown, ProcessorCount(), chosen);
    return PlanReading(Platform().KindOfDrive(path), ProcessorCount(), 0);
}

CFingerprintQueue::CFingerprintQueue(const CCrc32& crc, std::vector<FingerprintJob> jobs,
                                     const ReadingPlan& plan)
    : m_crc(crc), m_jobs(std::move(jobs)), m_readings(m_jobs.size()), m_ready(m_jobs.size(), 0) {
    const int threads = static_cast<int>(std::min<size_t>(plan.threads, m_jobs.size()));
    if (threads <= 1) return;  // inline: each file read when it is asked for
    if (plan.oneReader) {
        const int hashers = std::max(threads - 1, 1);
        m_buffers.resize(static_cast<size_t>(hashers * kBuffersPerHasher + 2));
        for (int b = 0; b < static_cast<int>(m_buffers.size()); ++b) m_freeBuffers.push_back(b);
        int started = 0;
        for (int t = 0; t < hashers; ++t) started += m_pool.Start([this] { HashStreams(); });
        if (started > 0 && m_pool.Start([this] { ReadInOrder(); })) {
            m_inline = false;
            return;
        }
    } else {
        int started = 0;
        for (int t = 0; t < threads; ++t) started += m_pool.Start([this] { ReadEachFile(); });
        if (started > 0) {
            m_inline = false;
            return;
        }
    }
    // No thread to be had: whatever started ends, and the files are read inline.
    Stop();
}

CFingerprintQueue::~CFingerprintQueue() { Stop(); }

void CFingerprintQueue::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_progress.notify_all();
    m_done.notify_all();
    m_pool.Join();
}

FileReading CFingerprintQueue::Take(size_t index, const std::function<void()>& waiting) {
    if (index >= m_jobs.size()) return FileReading();
    if (m_inline) return ReadOneFile(m_crc, m_jobs[index], m_inlineBuffer);
    std::unique_lock<std::mutex> lock(m_mutex);
    m_awaited = index;
    while (!m_ready[index]) {
        if (m_done.wait_for(lock, m_waitingInterval) == std::cv_status::timeout && waiting) {
            lock.unlock();
            waiting();
            lock.lock();
        }
    }
    m_awaited = kNobodyWaits;
    return std::move(m_readings[index]);
}

void CFingerprintQueue::Publish(size_t index, FileReading reading) {
    bool awaited = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_readings[index] = std::move(reading);
        m_ready[index] = 1;
        awaited = index == m_awaited;
    }
    // Only the reading that the caller waits for wakes it.
    if (awaited) m_done.notify_all();
}

// Takes the next file of the list, one after the other, into two lanes
// whose SHA-256 streams run side by side (core/ReadingLanes.h).
void CFingerprintQueue::ReadEachFile() {
    CReadingLanes lanes(
        m_crc, [this](size_t index, FileReading reading) { Publish(index, std::move(reading)); });
    for (;;) {
        size_t index = 0;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop) return;
            if (m_nextJob >= m_jobs.size()) break;
            index = m_nextJob++;
        }
        lanes.Read(index, m_jobs[index]);
    }
    lanes.Finish();
}

int CFingerprintQueue::TakeFreeBuffer() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_progress.wait(lock, [this] { return m_stop || !m_freeBuffers.empty(); });
    if (m_stop) return -1;
    const int buffer = m_freeBuffers.back();
    m_freeBuffers.pop_back();
    return buffer;
}

void CFingerprintQueue::GiveBackBuffer(int buffer) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_freeBuffers.push_back(buffer);
    }
    m_progress.notify_all();
}

void CFingerprintQueue::Push(Stream& stream, const StreamItem& item) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        stream.items.push_back(item);
    }
    m_progress.notify_all();
}

void CFingerprintQueue::ReadInOrder() {
    for (size_t index = 0; index < m_jobs.size(); ++index) {
        if (!StreamFile(index)) break;  // stopped
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_readerDone = true;
    }
    m_progress.notify_all();
}

// Reads job `index` through the reading loop and hands its pieces to the
// hashing threads, or publishes at once what keeps it from being read;
// false when the queue stopped.
bool CFingerprintQueue::StreamFile(size_t index) {
    const FingerprintJob& job = m_jobs[index];
    if (!job.pathIsWhole) {
        FileReading nothing;
        nothing.digests.openError = kErrorInvalidName;
        Publish(index, std::move(nothing));
        return true;
    }
    auto stream = std::make_shared<Stream>();
    stream->index = index;
    stream->reading.found = FindDirectoryEntry(job.path, stream->reading.lastWrite);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stop) return false;
        m_streams.push_back(stream);
    }
    m_progress.notify_all();
    CStreamSink sink(*this, *stream);
    StreamItem end{StreamItem::Kind::End};
    ReadingFacts facts;
    end.end = ReadFilePieces(job.path, sink, facts, job.bounds);
    end.openError = facts.openError;
    end.sizeKnown = facts.sizeKnown;
    end.sizeAtOpen = facts.size;
    if (end.end == ReadingEnd::Stopped) return false;
    Push(*stream, end);
    return true;
}

void CFingerprintQueue::HashStreams() {
    for (;;) {
        const std::shared_ptr<Stream> stream = NextStream();
        if (!stream || !HashStream(*stream)) return;  // stopped, or no more files
        Publish(stream->index, std::move(stream->reading));
    }
}

// The next file that the reader opened, waiting for one; null when the
// queue stopped or the reader has no more.
std::shared_ptr<CFingerprintQueue::Stream> CFingerprintQueue::NextStream() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_progress.wait(lock, [this] { return m_stop || !m_streams.empty() || m_readerDone; });
    if (m_stop || m_streams.empty()) return nullptr;
    std::shared_ptr<Stream> stream = m_streams.front();
    m_streams.pop_front();
    return stream;
}

// Takes the stream's pieces into both digests up to the item that ends it;
// false when the queue stopped.
bool CFingerprintQueue::HashStream(Stream& stream) {
    using Kind = StreamItem::Kind;
    const Digests which = m_jobs[stream.index].digests;
    std::optional<CFileHashes> hashes;
    hashes.emplace(m_crc, which);
    for (;;) {
        StreamItem item;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_progress.wait(lock, [this, &stream] { return m_stop || !stream.items.empty(); });
            if (m_stop) return false;
            item = stream.items.front();
            stream.items.pop_front();
        }
        switch (item.kind) {
            case Kind::Data:
                hashes->Add(m_buffers[item.buffer].Data(), item.size);
                GiveBackBuffer(item.buffer);
                break;
            case Kind::Restart:
                hashes.emplace(m_crc, which);
                break;
            case Kind::End:
                stream.reading.digests =
                    DigestsOf(item.end, {item.openError, item.sizeKnown, item.sizeAtOpen}, *hashes);
                return true;
        }
    }
}

}  // namespace qm
