// Fingerprints of many files taken at once, handed out in the order asked.
//
// The comparison and the build know every file they will read before they
// read the first: they give the whole list here, worker threads read the
// files and take both digests, and the operator's thread takes the results
// one by one in list order, so that rows and entries come out exactly as one
// thread would make them (and the window stays alive while it waits).
//
// How the files are read follows the drive that holds them:
//  - by default several readers each take the next file of the list, and
//    each keeps two files' SHA-256 streams side by side (ReadingLanes.h);
//  - on a rotating disk (a seek penalty, as the system reports it) one reader
//    takes the files in list order and hands their pieces to the hashing
//    threads, so the disk is not thrashed and the processors still share the
//    SHA-256 work;
//  - with one job, the operator's thread reads each file when its result is
//    asked for, as the tool always did.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "core/Crc32.h"
#include "core/FileDigests.h"
#include "core/WorkerPool.h"

namespace qm {

// One file to read: its whole path, and whether that path is the file meant
// (a path that is not, such as one with a zero byte, is never opened).
struct FingerprintJob {
    FingerprintJob() = default;
    FingerprintJob(std::string pathOfFile, bool whole, Digests which = Digests::Crc32AndSha256,
                   SizeBounds sizeBounds = SizeBounds())
        : path(std::move(pathOfFile)), pathIsWhole(whole), digests(which), bounds(sizeBounds) {}

    std::string path;
    bool pathIsWhole = true;
    Digests digests = Digests::Crc32AndSha256;
    SizeBounds bounds;  // the recorded size, the bound of a planted file
};

// What reading one file found: its digests and its directory entry's
// last-write time (found: whether the search found the entry).
struct FileReading {
    FileDigests digests;
    bool found = false;
    FileTime lastWrite;
};

// Reads one file and looks up its directory entry, on the calling thread.
FileReading ReadOneFile(const CCrc32& crc, const FingerprintJob& job, CReadBuffer& buffer);

struct ReadingPlan {
    int threads = 1;         // 1: every file on the operator's thread, one after the other
    bool oneReader = false;  // one thread reads in list order, the others hash
};

// The most files read at once, whether the drive or the operator chooses
// (qmverify-cli --jobs): each reader holds two pieces and, on posix, a block
// of its own (about 768 KiB), so 16 keep a run within 12 MiB and 16 file
// descriptors. Not chosen by a measurement: on this project's two-processor
// machines 8 readers already read a cold installation a fifth faster than 4,
// and nothing beyond 8 was measurable there.
constexpr int kMostFilesAtOnce = 16;

// The number of files read at once that the operator chose (qmverify-cli
// --jobs); 0, the default, lets the drive decide. Process-wide.
void SetFingerprintJobs(int jobs);
int FingerprintJobs();

// The plan for files on the drive that holds `path`: the operator's choice
// of jobs when there is one (that many readers), otherwise from the drive's
// kind and the processors.
ReadingPlan PlanReading(const std::string& path);
// The same decision from its facts (tests).
ReadingPlan PlanReading(DriveKind kind, int processors, int chosenJobs);

class CFingerprintQueue {
public:
    // `crc` must outlive the queue; its threads only read it.
    CFingerprintQueue(const CCrc32& crc, std::vector<FingerprintJob> jobs, const ReadingPlan& plan);
    ~CFingerprintQueue();
    CFingerprintQueue(const CFingerprintQueue&) = delete;
    CFingerprintQueue& operator=(const CFingerprintQueue&) = delete;

    // The reading of job `index`, waiting for it when it is not done yet:
    // the reading wakes the wait when it is published; `waiting` is called
    // every waiting interval while the wait goes on. Each index is taken once.
    FileReading Take(size_t index, const std::function<void()>& waiting = {});
    // 100 ms unless set: often enough for a window to answer its messages.
    void SetWaitingInterval(std::chrono::milliseconds interval) { m_waitingInterval = interval; }

    size_t Size() const { return m_jobs.size(); }

private:
    struct Stream;
    struct StreamItem;
    class CStreamSink;
    void ReadEachFile();  // a reader of the default plan
    void ReadInOrder();   // the one reader
    bool StreamFile(size_t index);
    void Push(Stream& stream, const StreamItem& item);
    void HashStreams();  // a hashing thread of the one-reader plan
    std::shared_ptr<Stream> NextStream();
    bool HashStream(Stream& stream);
    void Publish(size_t index, FileReading reading);
    void Stop();

    // The one reader's side: pieces travel in buffers of a fixed pool.
    int TakeFreeBuffer();
    void GiveBackBuffer(int buffer);

    const CCrc32& m_crc;
    std::vector<FingerprintJob> m_jobs;
    bool m_inline = true;
    std::chrono::milliseconds m_waitingInterval{100};

    std::mutex m_mutex;
    std::condition_variable m_done;      // a reading was published
    std::condition_variable m_progress;  // work or buffers became available, or stop
    std::vector<FileReading> m_readings;
    std::vector<char> m_ready;
    static constexpr size_t kNobodyWaits = static_cast<size_t>(-1);
    size_t m_awaited = kNobodyWaits;  // the index that Take waits for
    size_t m_nextJob = 0;
    bool m_stop = false;

    std::vector<CReadBuffer> m_buffers;
    std::vector<int> m_freeBuffers;
    std::deque<std::shared_ptr<Stream>> m_streams;
    bool m_readerDone = false;

    CReadBuffer m_inlineBuffer;
    CWorkerPool m_pool;  // last: its threads end before the rest goes
};

}  // namespace qm
