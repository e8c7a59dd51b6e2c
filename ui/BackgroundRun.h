// A comparison or a release list build on a thread of its own, so that the
// main window stays the operator's while it runs: it can be moved, resized,
// repainted and told to stop.
//
// The thread hands its news to the window through a mailbox: the compared
// files in the order it made them, the latest count, and at the end the
// run's result. It posts the window's news message when there is something
// new and no such message is pending, at most every kNewsInterval (the end
// at once), so that a run of small files does not flood the queue. The
// window takes the news on its own thread (TakeNews).
//
// Stop asks the thread to stop at its next file: the comparison keeps what it
// compared, a build changes nothing (the core's progress hook hears false).
// A run can be abandoned (the window has shown it stopped and goes on): its
// thread still ends by itself and is joined before the next run starts, or
// when the object goes.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/ComparisonRun.h"
#include "core/ReleaseListBuild.h"
#include "core/ResultTable.h"
#include "core/RunProgress.h"
#include "core/RunSummary.h"
#include "core/UnlistedFiles.h"
#include "core/UpdatePassword.h"

class CBackgroundRun {
public:
    enum class Kind { None, Comparison, Build };

    // What happened since the window last asked.
    struct News {
        std::vector<qm::ComparedFile> files;
        qm::RunProgress progress;
        bool hasProgress = false;
        bool ended = false;
    };

    // The news message goes to `window` as `message`.
    CBackgroundRun() = default;
    ~CBackgroundRun();
    CBackgroundRun(const CBackgroundRun&) = delete;
    CBackgroundRun& operator=(const CBackgroundRun&) = delete;

    // A comparison also keeps its rows in a table of its own, sorted by
    // status and summed up on its thread when it ends, so that the window
    // only takes them (a sort of 20,000 rows would keep it from answering);
    // there too it asks who signed each file that is not identical
    // (core/WatchedFile.h), which hashes the file once more.
    void StartComparison(HWND window, UINT message, const qm::UnlistedScope& scope,
                         const qm::StatusTexts& texts);
    // `key`: what the accepted update password derived; the new list is
    // signed with it.
    void StartBuild(HWND window, UINT message, std::shared_ptr<const qm::CUpdateKey> key);

    // A run goes on: started, and neither ended (its end taken) nor abandoned.
    bool Active() const { return m_kind != Kind::None; }
    Kind RunKind() const { return m_kind; }
    void Stop() { m_bStop = true; }
    bool StopAsked() const { return m_bStop; }
    // The window shows the run as over; its thread ends by itself.
    void Abandon();

    // The news since the last call. After the ended news the run is over and
    // its result is at hand.
    News TakeNews();
    const qm::ComparisonResult& ComparisonResult() const { return m_comparison; }
    const qm::BuildResult& BuildResult() const { return m_build; }
    // The rows of an ended comparison, sorted, and their summary.
    qm::CResultTable& SortedRows() { return m_sorted; }
    const qm::RunSummary& Summary() const { return m_summary; }

    // How often the thread posts news at most.
    static constexpr std::chrono::milliseconds kNewsInterval{30};

private:
    void Start(HWND window, UINT message, Kind kind, std::function<void()> work);
    void Join();
    // On the run's thread.
    qm::ComparisonHooks Hooks();
    void Deliver(bool force);

    std::thread m_thread;
    Kind m_kind = Kind::None;
    std::atomic<bool> m_bStop{false};
    HWND m_hWindow = nullptr;
    UINT m_nMessage = 0;

    std::mutex m_mutex;  // guards what follows
    News m_news;
    bool m_bPosted = false;
    std::chrono::steady_clock::time_point m_lastPost;
    qm::ComparisonResult m_comparison;
    qm::BuildResult m_build;
    qm::CResultTable m_sorted;  // the comparison's own rows (its thread's until it ends)
    qm::RunSummary m_summary;
};
