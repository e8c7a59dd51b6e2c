#include "ui/BackgroundRun.h"

#include <utility>

#include "core/ResultSort.h"
#include "core/WatchedFile.h"

CBackgroundRun::~CBackgroundRun() {
    m_bStop = true;
    Join();
}

void CBackgroundRun::Join() {
    if (m_thread.joinable()) m_thread.join();
}

void CBackgroundRun::Abandon() {
    m_bStop = true;
    m_kind = Kind::None;
}

void CBackgroundRun::Start(HWND window, UINT message, Kind kind, std::function<void()> work) {
    Join();  // an abandoned run's thread ends first
    m_hWindow = window;
    m_nMessage = message;
    m_kind = kind;
    m_bStop = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_news = News();
        m_bPosted = false;
        m_comparison = qm::ComparisonResult();
        m_build = qm::BuildResult();
    }
    m_thread = std::thread([this, work = std::move(work)] {
        try {
            work();
        } catch (...) {
            // The window still hears of the end; what was done stays shown.
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_news.ended = true;
        }
        Deliver(true);
    });
}

qm::ComparisonHooks CBackgroundRun::Hooks() {
    qm::ComparisonHooks hooks;
    hooks.compared = [this](const qm::ComparedFile& file) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_news.files.push_back(file);
        }
        Deliver(false);
    };
    hooks.progress = [this](const qm::RunProgress& progress) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_news.progress = progress;
            m_news.hasProgress = true;
        }
        Deliver(false);
        return !m_bStop;
    };
    // A file that takes long to read: what came before it still shows.
    hooks.waiting = [this] { Deliver(false); };
    return hooks;
}

void CBackgroundRun::StartComparison(HWND window, UINT message, const qm::UnlistedScope& scope,
                                     const qm::StatusTexts& texts) {
    Join();  // an abandoned run's thread may still fill its table
    m_sorted = qm::CResultTable(texts);
    Start(window, message, Kind::Comparison, [this, scope] {
        qm::ComparisonHooks hooks = Hooks();
        hooks.compared = [this, delivered = hooks.compared](const qm::ComparedFile& file) {
            m_sorted.AddAtTop(file);
            delivered(file);
        };
        const qm::ComparisonResult result = qm::CompareFiles(hooks, scope);
        // Who signed the files that are not identical: here, off the
        // window's thread, as the system hashes each file once more.
        qm::CheckSignatures(m_sorted, [this] { return !m_bStop; });
        qm::SortState sort;
        qm::SortAfterComparison(m_sorted, sort);
        const qm::RunSummary summary = qm::SummarizeRows(m_sorted);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_comparison = result;
        m_summary = summary;
    });
}

void CBackgroundRun::StartBuild(HWND window, UINT message,
                                std::shared_ptr<const qm::CUpdateKey> key) {
    Start(window, message, Kind::Build, [this, key = std::move(key)] {
        const qm::ComparisonHooks hooks = Hooks();
        qm::CReleaseListBuild build({}, hooks.progress, hooks.waiting);
        const qm::BuildResult result = build.BuildReleaseList(key.get());
        std::lock_guard<std::mutex> lock(m_mutex);
        m_build = result;
    });
}

void CBackgroundRun::Deliver(bool force) {
    const auto now = std::chrono::steady_clock::now();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_bPosted || (!force && now - m_lastPost < kNewsInterval)) return;
        m_bPosted = true;
        m_lastPost = now;
    }
    ::PostMessageA(m_hWindow, m_nMessage, 0, 0);
}

CBackgroundRun::News CBackgroundRun::TakeNews() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bPosted = false;
    News news = std::move(m_news);
    m_news = News();
    if (news.ended) m_kind = Kind::None;
    return news;
}
