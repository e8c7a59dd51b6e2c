// The main window's runs: Compare (with the build that a missing list
// starts) and Update Release Data, on a thread of their own; their progress,
// their stop and their end.
#include "core/ReleaseListFormat.h"
#include "core/RunSummary.h"
#include "core/SiteKey.h"
#include "core/WriterLock.h"
#include "platform/Platform.h"
#include "res/resource.h"
#include "ui/AppServices.h"
#include "ui/CheckerDlg.h"
#include "ui/CheckerDlgParts.h"
#include "ui/MessageBoxes.h"
#include "ui/RunTexts.h"
#include "ui/SettingsFlags.h"
#include "ui/WideText.h"

namespace {

// The directories whose program files that no entry names are shown: those
// whose flag of the settings file is set.
qm::UnlistedScope UnlistedScopeOfSettings() {
    qm::UnlistedScope scope;
    scope.sections[0] = ProcessSettingsFlags().checkQmw != 0;
    scope.sections[1] = ProcessSettingsFlags().checkDb1 != 0;
    return scope;
}

// Drops the keys and the presses of mouse buttons that reached the thread's
// queue up to `time`: they were meant for the run that has just ended, and
// would otherwise act on what follows it (a second Esc closing the window).
// A button's release stays, so that no control is left pressed.
void DropInputUpTo(DWORD time) {
    const UINT ranges[][2] = {{WM_KEYFIRST, WM_KEYLAST},
                              {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK},
                              {WM_RBUTTONDOWN, WM_RBUTTONDBLCLK},
                              {WM_MBUTTONDOWN, WM_MBUTTONDBLCLK}};
    for (const auto& range : ranges) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, range[0], range[1], PM_NOREMOVE) &&
               static_cast<LONG>(msg.time - time) <= 0) {
            ::PeekMessageA(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE);
        }
    }
}

void SetCaption(const CIconButton& button, UINT id) {
    ::SetWindowTextW(button.GetSafeHwnd(), Wide(LoadResString(id)).c_str());
    ::InvalidateRect(button.GetSafeHwnd(), nullptr, TRUE);
}

}  // namespace

void CCheckerDlg::OnCompare() {
    if (m_run.Active()) {
        StopRun();
        return;
    }
    StartComparison();
}

void CCheckerDlg::StartComparison() {
    // While a signing key is pinned, a missing list is not built but told as
    // the alarm it is, after the comparison.
    if (!qm::Platform().FileExists(qm::ReleaseListPath(qm::Platform().WindowsDirectory())) &&
        !qm::ReadSitePin().pinned) {
        // Making the list needs the right to write in the Windows directory:
        // without it the operator hears so once, and nothing is compared.
        const qm::CWriterLock probe(ShowWaitCursor);
        if (!probe.Held() && qm::IsWriteRefused(probe.Error())) {
            ShowMissingListRefused(m_hWnd, probe.Error());
            return;
        }
        AppMessageBox(m_hWnd, LoadResString(IDS_NO_RELEASE_LIST), kAppName, MB_ICONINFORMATION);
    }
    m_rows.Clear();
    EnterRun();
    m_run.StartComparison(m_hWnd, checker::kRunNewsMessage, UnlistedScopeOfSettings(),
                          m_table.Texts());
}

void CCheckerDlg::StartBuild(const std::shared_ptr<const qm::CUpdateKey>& key) {
    EnterRun();
    m_run.StartBuild(m_hWnd, checker::kRunNewsMessage, key);
}

// Compare becomes Stop; Settings and About wait for the run's end.
void CCheckerDlg::EnterRun() {
    m_pendingFiles.clear();
    m_progress = qm::RunProgress();
    m_showPace = CRedrawPace(m_showPace.Interval());
    m_stopAsked = 0;
    m_strBeforeRun = CWindow(m_hResultGroup).GetWindowText();
    ShowListState(nullptr);  // it spoke of the last comparison
    const HWND focus = ::GetFocus();
    if (focus == m_btnSettings.GetSafeHwnd() || focus == m_btnAbout.GetSafeHwnd()) {
        ::SetFocus(m_btnCompare.GetSafeHwnd());
    }
    CWindow(m_btnSettings.GetSafeHwnd()).EnableWindow(false);
    CWindow(m_btnAbout.GetSafeHwnd()).EnableWindow(false);
    SetCaption(m_btnCompare, IDS_STOP_BUTTON);
    FollowFocus();
}

bool CCheckerDlg::OnRunNews(WPARAM, LPARAM, LRESULT& result) {
    result = 0;
    const CBackgroundRun::Kind kind = m_run.RunKind();
    CBackgroundRun::News news = m_run.TakeNews();
    if (kind == CBackgroundRun::Kind::None) return true;  // a run shown as stopped already
    for (qm::ComparedFile& file : news.files) m_pendingFiles.push_back(std::move(file));
    if (news.hasProgress) m_progress = news.progress;
    if (news.ended) {
        if (kind == CBackgroundRun::Kind::Build) {
            FinishBuild();
        } else {
            FinishComparison(false);
        }
        return true;
    }
    const CRedrawPace::Clock::time_point now = CRedrawPace::Clock::now();
    if (m_showPace.Due(now)) {
        ShowRunProgress();
        m_showPace.Shown(now, CRedrawPace::Clock::now());
    }
    return true;
}

// The rows so far at the top of the list, the count in the group box and on
// the taskbar button. The list is painted here, so that the pace of the
// shows counts what painting costs (a slow display driver's tens of
// milliseconds push the next show out, and keys find the thread free).
void CCheckerDlg::ShowRunProgress() {
    m_rows.AddAtTop(m_pendingFiles);
    m_listResult.UpdateWindow();
    if (m_progress.filesTotal > 0 || m_progress.stage == qm::RunProgress::Stage::Recording) {
        SetGroupText(ProgressText(m_progress));
    }
    m_taskbar.Show(m_hWnd, static_cast<uint64_t>(m_progress.filesDone),
                   static_cast<uint64_t>(m_progress.filesTotal));
}

// A comparison stops at once: the rows so far stay, and its thread ends with
// its file. A build ends by itself at its next file, without writing; the
// window shows it then.
void CCheckerDlg::StopRun() {
    m_stopAsked = ::GetMessageTime();
    const bool comparing = m_progress.stage == qm::RunProgress::Stage::Comparing &&
                           m_run.RunKind() == CBackgroundRun::Kind::Comparison;
    if (!comparing) {
        m_run.Stop();
        return;
    }
    m_run.Abandon();
    FinishComparison(true);
}

void CCheckerDlg::FinishComparison(bool stopped) {
    const qm::ComparisonResult run = stopped ? qm::ComparisonResult() : m_run.ComparisonResult();
    if (stopped || run.stopped) {
        m_rows.AddAtTop(m_pendingFiles);
        m_rows.SortAfterComparison(m_sort);
        const bool buildStopped = run.builtList && run.build.status == qm::BuildResult::Stopped;
        LeaveRun(buildStopped ? BuildOutcomeText(run.build)
                              : StoppedText(m_table.RowCount(),
                                            stopped ? m_progress.filesTotal : run.filesToCompare));
        return;
    }
    // The run's thread has sorted and summed up its rows.
    m_pendingFiles.clear();
    m_rows.Replace(m_run.SortedRows());
    m_sort = qm::SortState{qm::kColStatus, 0};
    ShowListState(&run.signature);
    std::string summary =
        SummaryText(m_run.Summary(), ComparedDirectory(qm::kComponentDirectories[0].directory),
                    ComparedDirectory(qm::kComponentDirectories[1].directory));
    if (run.dllRedirectionEnabled) summary += "\n" + LoadResString(IDS_DLL_REDIRECTION_ENABLED);
    LeaveRun(summary);
    if (run.builtList) ShowBuildOutcome(m_hWnd, run.build);
    if (run.listUnreadable) {
        ShowUnreadableList(m_hWnd, run.listLoadError);
    } else if ((!run.builtList || run.build.status == qm::BuildResult::Ok) &&
               !run.signature.listMissing) {
        // (A build that wrote no list has said why already, and a list
        // missing while a key is pinned is its alarm above the rows.)
        ShowListFindings(m_hWnd, run.findings);
    }
    ShowListTrust(m_hWnd, run);
    for (const qm::UnsearchedDirectory& directory : run.unsearched) {
        ShowUnsearched(m_hWnd, qm::ShownPath(directory.directory), directory.error);
    }
}

// The main window keeps the rows of its last comparison; the group box says
// how the build ended (a build that failed says why in a box of its own).
void CCheckerDlg::FinishBuild() {
    const qm::BuildResult build = m_run.BuildResult();
    const bool said =
        build.status == qm::BuildResult::Ok || build.status == qm::BuildResult::Stopped;
    LeaveRun(said ? BuildOutcomeText(build) : m_strBeforeRun);
    ShowBuildOutcome(m_hWnd, build);
    if (build.status == qm::BuildResult::Ok && build.madeKey) ShowKeyMade(m_hWnd, build.publicKey);
}

void CCheckerDlg::LeaveRun(const std::string& groupText) {
    CWindow(m_btnSettings.GetSafeHwnd()).EnableWindow(true);
    CWindow(m_btnAbout.GetSafeHwnd()).EnableWindow(true);
    SetCaption(m_btnCompare, IDS_COMPARE_BUTTON);
    m_taskbar.Clear(m_hWnd);
    SetGroupText(groupText);
    AnnounceChange(m_hResultGroup);
    const DWORD now = ::GetTickCount();
    if (m_stopAsked != 0) {
        m_nStopMilliseconds = static_cast<int>(now - m_stopAsked);
        ::SetPropA(m_hWnd, kStopTimeProperty,
                   reinterpret_cast<HANDLE>(static_cast<INT_PTR>(m_nStopMilliseconds + 1)));
    }
    DropInputUpTo(now);
}
