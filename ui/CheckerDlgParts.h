// What the main window's source files share (CheckerDlg*.cpp): the columns
// of the result list and the window's own messages.
#pragma once

#include <windows.h>

#include "core/ComparedFile.h"
#include "res/resource.h"

namespace checker {

struct ColumnSpec {
    UINT headingId;  // 0: no heading
    int width;       // at 100 %
};

// The nine columns of the result list; the last two (entry number and
// section) are hidden by their width.
constexpr ColumnSpec kColumns[qm::kColumnCount] = {
    {IDS_COL_FILENAME, 140},
    {IDS_COL_STATUS, 100},
    {IDS_COL_CRC_CURRENT, 80},
    {IDS_COL_DATE_CURRENT, 100},
    {IDS_COL_CRC_RELEASE, 80},
    {IDS_COL_DATE_RELEASE, 100},
    {IDS_COL_COMMENT, 400},
    {0, 0},
    {0, 0},
};

// Posted after a move to a monitor of another scale: the layout follows once
// the dialog manager has scaled the controls.
constexpr UINT kRelayoutMessage = WM_APP + 1;
// Posted by the run's thread when it has news (CBackgroundRun).
constexpr UINT kRunNewsMessage = WM_APP + 2;

}  // namespace checker
