// Keyboard, mouse and timers: cursor moves and scrolls, type-ahead on the sort column, the
// delayed edit, activation (Choose or Open), the drag message and the wheel.
#include "grid/RecordsetCtrl.h"

#include "platform/core/Utf8.h"
#include "records/JetLiteral.h"

#include <cstdlib>
#include <string>

namespace {

// Whether the toolbar window offers a Choose button. Asked by message, so that any toolbar
// window answers, whatever object (if any) stands behind it.
BOOL OffersChoose(HWND hToolBar) {
    return hToolBar != NULL && ::IsWindow(hToolBar) &&
           (int)::SendMessage(hToolBar, TB_COMMANDTOINDEX, ID_RECORD_CHOOSE, 0) >= 0;
}

} // namespace

UINT CRecordsetCtrl::OnGetDlgCode() {
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void CRecordsetCtrl::Activate() {
    BOOL bChoose = FALSE;
    if (m_bInView) {
        CControlBar* pBar = GetHostToolBar();
        bChoose = pBar != NULL && OffersChoose(pBar->GetSafeHwnd());
    } else if (m_bAlwaysChoose) {
        bChoose = TRUE;
    } else if (CWnd* pParent = GetParent()) {
        bChoose = OffersChoose(::GetDlgItem(pParent->GetSafeHwnd(), AFX_IDW_TOOLBAR));
    }
    SendCommand(bChoose ? ID_RECORD_CHOOSE : ID_RECORD_OPEN);
}

void CRecordsetCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    const LPARAM lVScroll = (LPARAM)m_wndVScroll.GetSafeHwnd();
    // A thumb position travels in 16 bits: the bar says which stand for the record wanted.
    auto vscroll = [&](UINT nCode, int nPos = 0) {
        const UINT nBarPos = nCode == SB_THUMBPOSITION ? m_wndVScroll.GetThumbMessagePos(nPos) : 0;
        SendMessage(WM_VSCROLL, MAKEWPARAM(nCode, nBarPos), lVScroll);
    };
    auto hscroll = [&](UINT nCode) {
        SendMessage(WM_HSCROLL, MAKEWPARAM(nCode, 0), (LPARAM)m_wndHScroll.GetSafeHwnd());
    };
    auto moveCursor = [&](int nOld) {
        InvalidateCursor(nOld);
        InvalidateCursor(m_nCursor);
    };

    switch (nChar) {
    case VK_RETURN:
        Activate();
        return;
    case VK_ESCAPE:
        SendCommand(ID_RECORD_CLOSE);
        return;
    case VK_DELETE:
        SendCommand(ID_RECORD_DELETE);
        return;
    case VK_LEFT:
        hscroll(SB_LINELEFT);
        return;
    case VK_RIGHT:
        hscroll(SB_LINERIGHT);
        return;
    case VK_TAB:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
        break;
    default:
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
        return;
    }

    if (nChar != VK_TAB)
        m_strTypeAhead.Empty();
    if (m_nCursor == -1) {
        SafePositionCursor(TRUE);
        return;
    }

    const int nOld = m_nCursor;
    switch (nChar) {
    case VK_TAB:
        if (CDialogBar* pBar = GetHostSearchBar()) {
            if (pBar->GetSafeHwnd() != NULL && pBar->IsWindowVisible())
                pBar->SetFocus();
        }
        break;
    case VK_PRIOR:
        vscroll(SB_PAGEUP);
        break;
    case VK_NEXT:
        vscroll(SB_PAGEDOWN);
        break;
    case VK_UP:
        if (m_nCursor > 0) {
            --m_nCursor;
            moveCursor(nOld);
            NotifyParent(RSCN_SELCHANGE);
        } else {
            vscroll(SB_LINEUP);
        }
        break;
    case VK_DOWN:
        if (m_nCursor < m_nRows - 1) {
            ++m_nCursor;
            if (SafePositionCursor(FALSE)) {
                // The row below holds no record: the cursor went back; try the data instead.
                vscroll(SB_LINEDOWN);
            } else {
                moveCursor(nOld);
                NotifyParent(RSCN_SELCHANGE);
            }
        } else {
            vscroll(SB_LINEDOWN);
        }
        break;
    case VK_HOME: {
        m_nCursor = 0;
        if (m_nCursor != nOld)
            moveCursor(nOld);
        int nMin = 0, nMax = 0;
        m_wndVScroll.GetScrollRangePage(&nMin, &nMax);
        if (m_wndVScroll.GetScrollPos() == nMin)
            vscroll(SB_LINEUP);
        else
            vscroll(SB_THUMBPOSITION, 0);
        break;
    }
    case VK_END: {
        m_nCursor = m_nRows - 1;
        if (m_nCursor != nOld)
            moveCursor(nOld);
        int nMin = 0, nMax = 0;
        m_wndVScroll.GetScrollRangePage(&nMin, &nMax);
        // The cursor then settles on the last row that holds a record, also when the window
        // was already at the end and nothing moved.
        if (m_wndVScroll.GetScrollPos() != nMax)
            vscroll(SB_THUMBPOSITION, nMax);
        SafePositionCursor(TRUE);
        break;
    }
    default:
        break;
    }
}

void CRecordsetCtrl::OnChar(UINT nChar, UINT, UINT) {
    if (nChar < 32 || nChar == 127 || nChar > 0x10FFFF || (nChar >= 0xD800 && nChar <= 0xDFFF)) {
        m_strTypeAhead.Empty();
        return;
    }
    // The character comes as a code point; the text of the grid is UTF-8.
    std::string strChar;
    kel::core::AppendUtf8(strChar, static_cast<char32_t>(nChar));
    m_strTypeAhead += strChar.c_str();
    SetTimer(m_nTypeAheadTimer, 950, NULL);

    if (m_nSortByN == -1 || m_pDoc == NULL)
        return;
    BeginWaitCursor();
    int nColumn = -1;
    for (int i = 0; i < m_arrayColumns.GetSize(); ++i) {
        if (m_arrayColumns[i].m_nField == m_nSortByN && m_arrayColumns[i].m_bSortable) {
            nColumn = i;
            break;
        }
    }
    // Text that is not yet a value of the column's type ("3/" of a date) is still being typed.
    CString strLiteral;
    if (nColumn == -1 ||
        kel::records::JetTypedLiteral(m_arrayColumns[nColumn].m_nType, m_strTypeAhead,
                                      strLiteral) != kel::records::JetLiteralError::None) {
        EndWaitCursor();
        return;
    }
    const long nFound = m_pDoc->SearchAndGet(m_arrayColumns[nColumn].m_strName, m_bSortDesc,
                                             m_strTypeAhead, &m_arrayTable, &m_arrayColumns,
                                             m_nRows, &m_varFirst, &m_varLast, &m_nTableRows);
    if (nFound == -1) {
        // Nothing matches what was typed: a beep, and the window stays where it was.
        EndWaitCursor();
        MessageBeep(MB_OK);
        return;
    }
    GetTable(&m_arrayTable, &m_arrayColumns, CRecordsetDoc::gtRefresh, m_nRows, &m_varFirst,
             &m_varLast, &m_nTableRows);
    EndWaitCursor();

    if (m_bCounting) {
        m_bAtEnd = FALSE; // the place found counts from the front
        GrowRange((int)nFound);
    }
    m_wndVScroll.SetScrollPos((int)nFound, TRUE);
    InvalidateRect(NULL, TRUE);
    if (m_nCursor != 0) {
        const int nOld = m_nCursor;
        m_nCursor = 0;
        InvalidateCursor(nOld);
        InvalidateCursor(m_nCursor);
        SafePositionCursor(TRUE);
    }
    NotifyParent(RSCN_SELCHANGE);
}

void CRecordsetCtrl::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == m_nTypeAheadTimer) {
        KillTimer(m_nTypeAheadTimer);
        m_strTypeAhead.Empty();
    } else if (nIDEvent == m_nEditTimer) {
        KillTimer(m_nEditTimer);
        EditCurrentRecord(m_nEditSlot, m_nEditRow, &m_ptEdit);
    } else if (nIDEvent == m_nCountTimer) {
        KeepCounting();
    } else {
        CWnd::OnTimer(nIDEvent);
    }
}

void CRecordsetCtrl::OnLButtonDown(UINT, CPoint point) {
    CheckClick(point, 0);
}

void CRecordsetCtrl::OnLButtonDblClk(UINT, CPoint point) {
    const int nOld = m_nCursor;
    CheckClick(point, 2);
    if (m_nCursor == nOld)
        Activate();
}

void CRecordsetCtrl::OnMouseMove(UINT nFlags, CPoint point) {
    Default();
    if (GetCapture() != NULL || GetFocus() != this || (nFlags & MK_LBUTTON) == 0 || m_bDragStarted)
        return;
    if (std::abs(point.x - m_ptClick.x) > 5 || std::abs(point.y - m_ptClick.y) > 5) {
        KillTimer(m_nEditTimer);
        SendMessage(WM_RSC_DRAG, (WPARAM)nFlags, (LPARAM)&point);
    }
}

BOOL CRecordsetCtrl::OnMouseWheel(UINT, short zDelta, CPoint) {
    SetFocus();
    m_nWheelDelta += zDelta;
    const LPARAM lVScroll = (LPARAM)m_wndVScroll.GetSafeHwnd();
    if (m_nWheelDelta >= WHEEL_DELTA) {
        for (int i = 0; i < 3; ++i)
            SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEUP, 0), lVScroll);
        m_nWheelDelta -= WHEEL_DELTA;
    } else if (m_nWheelDelta <= -WHEEL_DELTA) {
        for (int i = 0; i < 3; ++i)
            SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), lVScroll);
        m_nWheelDelta += WHEEL_DELTA;
    }
    return TRUE;
}
