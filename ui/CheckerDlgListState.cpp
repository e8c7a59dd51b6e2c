// The main window's line of the list's state, above the rows: after a
// comparison, the state of the release list's signature in the operator's
// words (IDS_LIST_...). An alarm (no verdict below can be trusted) is bold
// and in the warning colour, so that it stands out in high contrast too,
// where the colour is the system's.
#include "core/ListSignature.h"
#include "res/resource.h"
#include "ui/AppServices.h"
#include "ui/CheckerDlg.h"
#include "ui/RunSignals.h"

namespace {

// The string of a state.
UINT StateText(const qm::ListSignature& signature) {
    switch (signature.state) {
        case qm::SignatureState::Valid:
            return IDS_LIST_SIGNED;
        case qm::SignatureState::ChangedAfterSigning:
            return IDS_LIST_CHANGED_AFTER_SIGNING;
        case qm::SignatureState::OtherKey:
            return IDS_LIST_OTHER_KEY;
        case qm::SignatureState::UnsignedWhilePinned:
            return signature.listMissing ? IDS_LIST_MISSING_WHILE_PINNED
                                         : IDS_LIST_UNSIGNED_WHILE_PINNED;
        case qm::SignatureState::NotSigned:
            break;
    }
    return IDS_LIST_NOT_SIGNED;
}

bool HighContrast() {
    HIGHCONTRASTA contrast{sizeof contrast, 0, nullptr};
    return ::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

COLORREF CCheckerDlg::WarningColour(COLORREF face) {
    const int brightness =
        (GetRValue(face) * 299 + GetGValue(face) * 587 + GetBValue(face) * 114) / 1000;
    // Dark red on a light face, light red on a dark one: both well readable.
    return brightness >= 128 ? RGB(0xC0, 0x00, 0x00) : RGB(0xFF, 0x70, 0x70);
}

void CCheckerDlg::ShowListState(const qm::ListSignature* signature) {
    HWND line = GetDlgItem(IDC_LIST_STATE);
    if (line == nullptr) return;
    m_bListAlarm = signature != nullptr && qm::IsAlarm(signature->state);
    UseAlarmFont();
    const std::string text = signature != nullptr ? LoadResString(StateText(*signature)) : "";
    ::SetWindowTextA(line, text.c_str());
    ::InvalidateRect(line, nullptr, TRUE);
    if (!text.empty()) AnnounceChange(line);
}

// The bold face follows the dialog's font, which a new scale replaces.
void CCheckerDlg::UseAlarmFont() {
    HWND line = GetDlgItem(IDC_LIST_STATE);
    const auto dialogFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0));
    if (line == nullptr || dialogFont == nullptr) return;
    if (m_hAlarmFont != nullptr) {
        ::SendMessageA(line, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), FALSE);
        ::DeleteObject(m_hAlarmFont);
        m_hAlarmFont = nullptr;
    }
    if (!m_bListAlarm) return;
    LOGFONTA face{};
    if (::GetObjectA(dialogFont, sizeof face, &face) == 0) return;
    face.lfWeight = FW_BOLD;
    m_hAlarmFont = ::CreateFontIndirectA(&face);
    if (m_hAlarmFont != nullptr) {
        ::SendMessageA(line, WM_SETFONT, reinterpret_cast<WPARAM>(m_hAlarmFont), TRUE);
    }
}

bool CCheckerDlg::OnCtlColorStatic(WPARAM dc, LPARAM control, LRESULT& result) {
    if (!m_bListAlarm || reinterpret_cast<HWND>(control) != GetDlgItem(IDC_LIST_STATE)) {
        return false;
    }
    const COLORREF face = ::GetSysColor(COLOR_3DFACE);
    const auto hdc = reinterpret_cast<HDC>(dc);
    ::SetTextColor(hdc, HighContrast() ? ::GetSysColor(COLOR_WINDOWTEXT) : WarningColour(face));
    ::SetBkColor(hdc, face);
    result = reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_3DFACE));
    return true;
}
