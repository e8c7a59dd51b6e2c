#include "core/ParallelFingerprints.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "CrcForge.h"
#include "ForwardingPlatform.h"
#include "SampleInstallation.h"
#include "core/Fingerprint.h"
#include "core/Sha256.h"
#ifndef _WIN32
#include "platform/posix/Drive.h"
#endif

namespace qm {
namespace {

using test::SampleInstallation;

// Files of many sizes, pieces and kinds: empty, smaller and larger than one
// piece, missing, a folder, and a path that is not whole.
struct ManyFiles {
    static constexpr int kFiles = 60;
    SampleInstallation sample;
    std::vector<FingerprintJob> jobs;
    std::vector<std::string> contents;  // "" also for those that cannot be read

    ManyFiles() {
        // Sizes around one and two pieces, then small and mid-sized files.
        const size_t piece = CReadBuffer::kPieceSize;
        const size_t edges[] = {0, 1, piece - 1, piece, piece + 1, 2 * piece + 3};
        for (int i = 0; i < kFiles; ++i) {
            const size_t size = i < 6 ? edges[i] : (static_cast<size_t>(i) * 7919) % (96 * 1024);
            std::string bytes(size, '\0');
            for (size_t k = 0; k < size; ++k) bytes[k] = static_cast<char>((k * 31 + i) >> 3);
            const std::string name = "f" + std::to_string(i) + ".exe";
            sample.WriteFile("qmw/" + name, bytes);
            jobs.push_back({"\\qmw.\\" + name, true});
            contents.push_back(bytes);
        }
        sample.MakeDirectory("qmw/folder.exe");
        jobs.push_back({"\\qmw.\\folder.exe", true});
        jobs.push_back({"\\qmw.\\missing.exe", true});
        jobs.push_back({std::string("\\qmw.\\f1.exe\0x", 14), false});
        contents.resize(jobs.size());
    }
};

std::vector<FileReading> TakeAll(const std::vector<FingerprintJob>& jobs, const ReadingPlan& plan) {
    CCrc32 crc;
    crc.BuildTable();
    CFingerprintQueue queue(crc, jobs, plan);
    std::vector<FileReading> readings;
    for (size_t i = 0; i < jobs.size(); ++i) readings.push_back(queue.Take(i));
    return readings;
}

TEST(ParallelFingerprints, EveryPlanGivesTheReadingsOfOneThreadInListOrder) {
    ManyFiles files;
    const std::vector<FileReading> inline_ = TakeAll(files.jobs, ReadingPlan{1, false});
    ASSERT_EQ(inline_.size(), files.jobs.size());
    for (size_t i = 0; i < ManyFiles::kFiles; ++i) {
        EXPECT_TRUE(inline_[i].digests.readWhole) << i;
        EXPECT_EQ(Sha256Hex(inline_[i].digests.sha256), Sha256Hex(Sha256(files.contents[i])));
        EXPECT_TRUE(inline_[i].found);
    }
    const FileReading& folder = inline_[ManyFiles::kFiles];
    EXPECT_FALSE(folder.digests.readWhole);
    EXPECT_TRUE(folder.found);  // its directory entry still gives its date
    EXPECT_EQ(inline_[ManyFiles::kFiles + 1].digests.openError, kErrorFileNotFound);
    EXPECT_FALSE(inline_[ManyFiles::kFiles + 2].digests.readWhole);
    EXPECT_NE(inline_[ManyFiles::kFiles + 2].digests.openError, kErrorSuccess);

    for (const ReadingPlan plan : {ReadingPlan{4, false}, ReadingPlan{3, true},
                                   ReadingPlan{2, true}, ReadingPlan{16, false}}) {
        const std::vector<FileReading> readings = TakeAll(files.jobs, plan);
        for (size_t i = 0; i < readings.size(); ++i) {
            SCOPED_TRACE(std::to_string(plan.threads) + (plan.oneReader ? " one reader #" : " #") +
                         std::to_string(i));
            EXPECT_EQ(readings[i].digests.readWhole, inline_[i].digests.readWhole);
            EXPECT_EQ(readings[i].digests.crc, inline_[i].digests.crc);
            EXPECT_EQ(readings[i].digests.sha256, inline_[i].digests.sha256);
            EXPECT_EQ(readings[i].digests.openError, inline_[i].digests.openError);
            EXPECT_EQ(readings[i].found, inline_[i].found);
            EXPECT_EQ(readings[i].lastWrite.ticks, inline_[i].lastWrite.ticks);
        }
    }
}

TEST(ParallelFingerprints, AQueueLeftEarlyStopsItsThreads) {
    ManyFiles files;
    CCrc32 crc;
    crc.BuildTable();
    for (const ReadingPlan plan : {ReadingPlan{4, false}, ReadingPlan{3, true}}) {
        CFingerprintQueue queue(crc, files.jobs, plan);
        EXPECT_TRUE(queue.Take(0).digests.readWhole);
    }  // the destructor ends the threads with most files unread
}

// A platform whose file log.exe says that it changes while it is read, for
// the first `changingReads` opens; the other files stay as they are.
class ChangingFiles : public test::ForwardingPlatform {
public:
    explicit ChangingFiles(int changingReads) : m_changingReads(changingReads) {}
    std::atomic<int> opens{0};  // of log.exe

    uint32_t OpenForReading(const std::string& path, std::unique_ptr<IReadFile>& file) override {
        std::unique_ptr<IReadFile> real;
        const uint32_t result = Real().OpenForReading(path, real);
        if (path.find("log.exe") == std::string::npos) {
            file = std::move(real);
            return result;
        }
        const bool changing = opens++ < m_changingReads;
        if (result == kErrorSuccess) file = std::make_unique<File>(std::move(real), changing);
        return result;
    }

private:
    class File : public IReadFile {
    public:
        File(std::unique_ptr<IReadFile> real, bool changing)
            : m_real(std::move(real)), m_changing(changing) {}
        bool Read(void* buffer, size_t capacity, size_t& bytesRead) override {
            return m_real->Read(buffer, capacity, bytesRead);
        }
        // Its true size (a file is read no further), another time each look.
        bool Facts(FileFacts& facts) override {
            if (!m_real->Facts(facts)) return false;
            facts.lastWrite.ticks = m_changing ? ++m_calls : 1;
            return true;
        }

    private:
        std::unique_ptr<IReadFile> m_real;
        bool m_changing;
        uint64_t m_calls = 0;
    };
    int m_changingReads;
};

// A platform whose files fail their second read, as a drive that gives up
// part way would. Each file counts its own reads, so threads may share it.
class FailingSecondRead : public test::ForwardingPlatform {
public:
    uint32_t OpenForReading(const std::string& path, std::unique_ptr<IReadFile>& file) override {
        std::unique_ptr<IReadFile> real;
        const uint32_t result = Real().OpenForReading(path, real);
        if (result == kErrorSuccess) file = std::make_unique<File>(std::move(real));
        return result;
    }

private:
    class File : public IReadFile {
    public:
        explicit File(std::unique_ptr<IReadFile> real) : m_real(std::move(real)) {}
        bool Read(void* buffer, size_t capacity, size_t& bytesRead) override {
            if (++m_reads == 2) {
                bytesRead = 0;
                return false;
            }
            return m_real->Read(buffer, capacity, bytesRead);
        }
        bool Facts(FileFacts& facts) override { return m_real->Facts(facts); }

    private:
        std::unique_ptr<IReadFile> m_real;
        int m_reads = 0;
    };
};

TEST(ParallelFingerprints, AReadThatFailsPartWayIsNoWholeReadingInAnyPlan) {
    SampleInstallation sample;
    std::string bytes(2 * CReadBuffer::kPieceSize + 5, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 13 >> 4);
    sample.WriteFile("qmw/broken.exe", bytes);
    const std::vector<FingerprintJob> jobs(3, FingerprintJob{"\\qmw.\\broken.exe", true});
    FailingSecondRead platform;
    for (const ReadingPlan plan :
         {ReadingPlan{1, false}, ReadingPlan{2, false}, ReadingPlan{2, true}}) {
        for (const FileReading& reading : TakeAll(jobs, plan)) {
            SCOPED_TRACE(std::to_string(plan.threads) + (plan.oneReader ? " one reader" : ""));
            EXPECT_FALSE(reading.digests.readWhole);
            EXPECT_FALSE(reading.digests.hasSha256);
            // The CRC of the bytes read before the failure, as it is shown.
            EXPECT_EQ(reading.digests.crc, test::CrcOf(bytes.substr(0, CReadBuffer::kPieceSize)));
        }
    }
}

TEST(ParallelFingerprints, AFileThatChangesWhileItIsReadIsReadAgainAndAtLastToldAsChanging) {
    SampleInstallation sample;
    sample.WriteFile("qmw/log.exe", std::string(300 * 1024, 'x'));
    sample.WriteFile("qmw/calm.exe", "calm");
    // Two files: a queue of one runs every plan inline.
    const std::vector<FingerprintJob> jobs = {{"\\qmw.\\log.exe", true},
                                              {"\\qmw.\\calm.exe", true}};
    for (const ReadingPlan plan :
         {ReadingPlan{1, false}, ReadingPlan{2, true}, ReadingPlan{2, false}}) {
        SCOPED_TRACE(std::to_string(plan.threads) + (plan.oneReader ? " one reader" : ""));
        {
            ChangingFiles once(1);
            const FileReading reading = TakeAll(jobs, plan)[0];
            EXPECT_TRUE(reading.digests.readWhole);
            EXPECT_FALSE(reading.digests.changing);
            EXPECT_EQ(Sha256Hex(reading.digests.sha256),
                      Sha256Hex(Sha256(std::string(300 * 1024, 'x'))));
            EXPECT_EQ(once.opens, 2);
        }
        {
            // Four reads in all: one that changes during the first three
            // still gets its digests at the fourth.
            ChangingFiles thrice(3);
            EXPECT_TRUE(TakeAll(jobs, plan)[0].digests.readWhole);
            EXPECT_EQ(thrice.opens, 4);
        }
        {
            ChangingFiles always(1000);
            const FileReading reading = TakeAll(jobs, plan)[0];
            EXPECT_FALSE(reading.digests.readWhole);
            EXPECT_TRUE(reading.digests.changing);
            EXPECT_EQ(always.opens, 1 + kRereadsOfAChangingFile);
            const FileNow now = NowFrom(reading, 40);
            EXPECT_TRUE(now.changing);
            EXPECT_EQ(now.sha256Text, "");
        }
    }
}

// A platform that watches who reads: the files open at once, the most at
// any moment, and the threads that open them. With `waitForCompany`, the
// first read of the first file waits (up to 10 s) until a second file is
// open, so that readers that do run at once are seen at once.
class ReaderSpy : public test::ForwardingPlatform {
public:
    std::atomic<bool> waitForCompany{false};
    std::atomic<int> mostOpen{0};

    uint32_t OpenForReading(const std::string& path, std::unique_ptr<IReadFile>& file) override {
        std::unique_ptr<IReadFile> real;
        const uint32_t result = Real().OpenForReading(path, real);
        if (result != kErrorSuccess) return result;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_openers.insert(std::this_thread::get_id());
            mostOpen = std::max(mostOpen.load(), ++m_open);
        }
        m_change.notify_all();
        file = std::make_unique<File>(*this, std::move(real));
        return result;
    }
    std::set<std::thread::id> Openers() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_openers;
    }

private:
    class File : public IReadFile {
    public:
        File(ReaderSpy& spy, std::unique_ptr<IReadFile> real)
            : m_spy(spy), m_real(std::move(real)) {}
        ~File() override {
            std::lock_guard<std::mutex> lock(m_spy.m_mutex);
            --m_spy.m_open;
        }
        bool Read(void* buffer, size_t capacity, size_t& bytesRead) override {
            if (m_spy.waitForCompany) {
                std::unique_lock<std::mutex> lock(m_spy.m_mutex);
                m_spy.m_change.wait_for(lock, std::chrono::seconds(10),
                                        [this] { return m_spy.m_open >= 2; });
                m_spy.waitForCompany = false;
            }
            return m_real->Read(buffer, capacity, bytesRead);
        }
        bool Facts(FileFacts& facts) override { return m_real->Facts(facts); }

    private:
        ReaderSpy& m_spy;
        std::unique_ptr<IReadFile> m_real;
    };

    std::mutex m_mutex;
    std::condition_variable m_change;
    int m_open = 0;
    std::set<std::thread::id> m_openers;
};

TEST(ParallelFingerprints, EachPlanReadsTheWayItSays) {
    ManyFiles files;
    const std::thread::id caller = std::this_thread::get_id();
    {
        ReaderSpy spy;
        spy.waitForCompany = true;
        TakeAll(files.jobs, ReadingPlan{4, false});
        EXPECT_GE(spy.mostOpen, 2);  // several readers at once
        EXPECT_EQ(spy.Openers().count(caller), 0u);
    }
    {
        ReaderSpy spy;
        TakeAll(files.jobs, ReadingPlan{3, true});
        EXPECT_EQ(spy.mostOpen, 1);  // one reader, one file after the other
        ASSERT_EQ(spy.Openers().size(), 1u);
        EXPECT_EQ(spy.Openers().count(caller), 0u);  // on a thread of its own
    }
    {
        ReaderSpy spy;
        TakeAll(files.jobs, ReadingPlan{1, false});
        EXPECT_EQ(spy.Openers(), std::set<std::thread::id>{caller});
    }
}

// A platform that holds the first open until the test lets it go.
class HeldOpen : public test::ForwardingPlatform {
public:
    std::atomic<bool> released{false};
    uint32_t OpenForReading(const std::string& path, std::unique_ptr<IReadFile>& file) override {
        while (!released) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return Real().OpenForReading(path, file);
    }
};

TEST(ParallelFingerprints, AFinishedReadingWakesTheCallerAtOnce) {
    ManyFiles files;
    HeldOpen platform;
    CCrc32 crc;
    CFingerprintQueue queue(crc, files.jobs, ReadingPlan{2, false});
    queue.SetWaitingInterval(std::chrono::seconds(10));
    std::thread release([&platform] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        platform.released = true;
    });
    int waits = 0;  // a reading that does not wake its caller is found only at the interval
    EXPECT_TRUE(queue.Take(0, [&waits] { ++waits; }).digests.readWhole);
    release.join();
    EXPECT_EQ(waits, 0);
}

// A platform whose drives are all of one kind, and which notes what it was
// asked.
class OneKindOfDrive : public test::ForwardingPlatform {
public:
    explicit OneKindOfDrive(DriveKind kind) : m_kind(kind) {}
    std::vector<std::string> asked;
    DriveKind KindOfDrive(const std::string& path) override {
        asked.push_back(path);
        return m_kind;
    }

private:
    DriveKind m_kind;
};

TEST(ReadingPlan, ThePlanForAPathAsksWhichDriveHoldsIt) {
    {
        OneKindOfDrive spinning(DriveKind::Spinning);
        EXPECT_TRUE(PlanReading("\\qmw.").oneReader);
        EXPECT_EQ(spinning.asked, std::vector<std::string>{"\\qmw."});
    }
    {
        OneKindOfDrive solid(DriveKind::NoSeek);
        const ReadingPlan plan = PlanReading("\\qmw.");
        EXPECT_FALSE(plan.oneReader);
        EXPECT_GE(plan.threads, 2);
        EXPECT_EQ(solid.asked.size(), 1u);
    }
    OneKindOfDrive spinning(DriveKind::Spinning);
    SetFingerprintJobs(3);  // the operator's choice needs no drive
    const ReadingPlan chosen = PlanReading("\\qmw.");
    SetFingerprintJobs(0);
    EXPECT_FALSE(chosen.oneReader);
    EXPECT_EQ(chosen.threads, 3);
    EXPECT_TRUE(spinning.asked.empty());
}

TEST(ReadingPlan, OneReaderOnlyOnASpinningDiskUnlessJobsAreChosen) {
    const ReadingPlan spinning = PlanReading(DriveKind::Spinning, 2, 0);
    EXPECT_TRUE(spinning.oneReader);
    EXPECT_EQ(spinning.threads, 3);  // the reader and a hasher per processor
    for (DriveKind kind : {DriveKind::NoSeek, DriveKind::Virtual, DriveKind::Unknown}) {
        const ReadingPlan plan = PlanReading(kind, 2, 0);
        EXPECT_FALSE(plan.oneReader);
        EXPECT_GE(plan.threads, 2);
    }
    EXPECT_EQ(PlanReading(DriveKind::Spinning, 8, 1).threads, 1);
    const ReadingPlan chosen = PlanReading(DriveKind::Spinning, 2, 6);
    EXPECT_FALSE(chosen.oneReader);
    EXPECT_EQ(chosen.threads, 6);
    EXPECT_LE(PlanReading(DriveKind::NoSeek, 256, 0).threads, 16);
}

#ifndef _WIN32
TEST(ReadingPlan, VirtualDisksThatClaimToRotateAreNotTakenForSpinningOnes) {
    using posix::BlockDeviceFacts;
    using posix::KindOfBlockDevice;
    const std::string virtio = "/sys/devices/pci0000:00/0000:00:02.0/virtio1/block/vda";
    const std::string sata =
        "/sys/devices/pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0/block/sda";
    EXPECT_EQ(KindOfBlockDevice(BlockDeviceFacts{virtio, "1", "0x1af4", ""}), DriveKind::Virtual);
    EXPECT_EQ(KindOfBlockDevice(BlockDeviceFacts{sata, "1", "ATA", "WDC WD40EFRX"}),
              DriveKind::Spinning);
    EXPECT_EQ(KindOfBlockDevice(BlockDeviceFacts{sata, "1", "ATA", "QEMU HARDDISK"}),
              DriveKind::Virtual);
    EXPECT_EQ(KindOfBlockDevice(BlockDeviceFacts{sata, "0", "ATA", "Samsung SSD"}),
              DriveKind::NoSeek);
    EXPECT_EQ(KindOfBlockDevice(BlockDeviceFacts{sata, "", "", ""}), DriveKind::Unknown);
    // Whatever this machine is, asking never fails.
    const DriveKind here = posix::KindOfDrive("/");
    (void)here;
}
#endif

}  // namespace
}  // namespace qm
