// Loading: the load and reload messages, the refresh in place, and every fetch of the grid
// through the virtual GetTable.
#include "grid/RecordsetCtrl.h"

#include "companions/settings/AppRegistry.h"
#include "companions/settings/Registry.h"

#include <algorithm>

namespace {

// Integer columns the user has not sized yet are made as wide as the first screen's values:
// their default width guesses at 32-bit numbers, and a 64-bit one would be cut.
void FitIntegerColumns(CRecordsetCtrl& grid) {
    if (grid.m_wndHeader.GetSafeHwnd() == NULL || grid.m_nHeaderCharWidth <= 0)
        return;
    CRegistry reg(AppRegistryRoot, AppRegistryPath + grid.m_strRegistryKey);
    CClientDC dc(&grid);
    CFont* pOld = dc.SelectObject(&grid.m_font);
    for (int i = 0; i < grid.m_wndHeader.GetItemCount(); ++i) {
        HDITEM item{};
        item.mask = HDI_LPARAM | HDI_WIDTH;
        if (!grid.m_wndHeader.GetItem(i, &item) || item.lParam < 0 ||
            item.lParam >= grid.m_arrayColumns.GetSize())
            continue;
        CColumnDetails& col = grid.m_arrayColumns[(int)item.lParam];
        if (col.m_nType != dbByte && col.m_nType != dbInteger && col.m_nType != dbLong)
            continue;
        CString strStored;
        if (!grid.m_strRegistryKey.IsEmpty() && reg.Read(col.m_strName, strStored, "") &&
            !strStored.IsEmpty())
            continue; // the user's width
        int nWidest = 0;
        for (int r = 0; r < grid.m_arrayTable.GetSize(); ++r) {
            const CStringArray& row = grid.m_arrayTable[r];
            if (item.lParam < row.GetSize() && !row[(int)item.lParam].IsEmpty())
                nWidest = std::max(nWidest, (int)dc.GetTextExtent(row[(int)item.lParam]).cx);
        }
        const int nWidth = (nWidest + grid.m_nHeaderCharWidth - 1) / grid.m_nHeaderCharWidth;
        if (nWidth <= col.m_nWidth)
            continue;
        col.m_nWidth = std::min(nWidth, 9999);
        item.mask = HDI_WIDTH;
        item.cxy = grid.m_nHeaderCharWidth * col.m_nWidth + 41;
        grid.m_wndHeader.SetItem(i, &item);
    }
    dc.SelectObject(pOld);
}

} // namespace

LRESULT CRecordsetCtrl::OnLoad(WPARAM, LPARAM) {
    PostMessage(WM_RSC_RELOAD, 1, 0);
    return 0;
}

LRESULT CRecordsetCtrl::OnReload(WPARAM wParam, LPARAM lParam) {
    if (m_pDoc == NULL)
        return 1;
    EndPendingEdit();
    StopCounting(); // the records it counted are closed with them
    BeginWaitCursor();
    const BOOL bFull = wParam != 0;
    BOOL bStoredSort = FALSE;
    if (bFull && !m_strRegistryKey.IsEmpty()) {
        CRegistry reg(AppRegistryRoot, AppRegistryPath + m_strRegistryKey);
        int nSort = 0, nDesc = 0;
        reg.Read("SortByN", nSort, 0);
        reg.Read("SortAsc", nDesc, 0);
        m_nSortByN = nSort;
        m_bSortDesc = nDesc != 0;
        // The stored sort names a field by its number, which the statement may no longer
        // have, or no longer show: the records are first opened sorted on it, quietly, and
        // opened again (unsorted, or as the fields then say) only where that was wrong.
        bStoredSort = m_nSortByN != -1;
        if (bStoredSort)
            m_pDoc->SetOrder(m_nSortByN >= 0 ? SortOrder(m_nSortByN, m_bSortDesc) : CString());
    }

    if (bStoredSort && !m_pDoc->GetOrder().IsEmpty()) {
        if (!m_pDoc->OpenQuietly()) {
            m_pDoc->SetOrder("");
            m_pDoc->Open();
        }
    } else {
        m_pDoc->Open();
    }
    if (!m_pDoc->IsOpen()) {
        EndWaitCursor();
        return 1;
    }
    const CString strOpenedOrder = m_pDoc->GetOrder();

    if (bFull) {
        GetColumns();
        // A repeated full load rebuilds the header from the model.
        while (m_wndHeader.GetItemCount() > 0)
            m_wndHeader.DeleteItem(0);
        FillHeader();
        InitDialogBar();
        BOOL bKnown = FALSE;
        for (int j = 0; j < m_arrayColumns.GetSize(); ++j)
            bKnown = bKnown || m_arrayColumns[j].m_nField == m_nSortByN;
        if (bStoredSort && !bKnown)
            m_nSortByN = -1; // a field the statement does not have: unsorted
        SetSort();
        if (bStoredSort && m_pDoc->GetOrder() != strOpenedOrder) {
            m_pDoc->Open();
            if (!m_pDoc->IsOpen()) {
                EndWaitCursor();
                return 1;
            }
        }
    }

    long nFound = 0;
    if (m_nRows > 0) {
        const int nColumns = (int)m_arrayColumns.GetSize();
        m_arrayTable.SetSize(m_nRows);
        for (int r = 0; r < m_nRows; ++r)
            m_arrayTable[r].SetSize(nColumns);
        if (lParam == 0) {
            GetTable(&m_arrayTable, &m_arrayColumns, CRecordsetDoc::gtFirst, m_nRows, &m_varFirst,
                     &m_varLast, &m_nTableRows);
            if (bFull)
                FitIntegerColumns(*this);
        } else {
            CString strKey = reinterpret_cast<LPCTSTR>(lParam);
            CString strKeyName =
                m_nKeyColumn < nColumns ? m_arrayColumns[m_nKeyColumn].m_strName : CString();
            nFound = m_pDoc->SearchAndGet(strKeyName, 0, strKey, &m_arrayTable, &m_arrayColumns,
                                          m_nRows, &m_varFirst, &m_varLast, &m_nTableRows);
            // A key that is not there any more: the first records.
            GetTable(&m_arrayTable, &m_arrayColumns,
                     nFound == -1 ? CRecordsetDoc::gtFirst : CRecordsetDoc::gtRefresh, m_nRows,
                     &m_varFirst, &m_varLast, &m_nTableRows);
            if (nFound == -1)
                nFound = 0;
            m_nCursor = 0;
        }
    }

    RecalcWindowSize();
    if (bFull) {
        m_wndHScroll.SetScrollRangePage(0, m_wndHeader.GetItemCount() - 1, FALSE);
        m_wndHScroll.SetScrollPos(0, TRUE);
    }
    // The window is shown before the records are counted: the count follows by slices.
    StartCounting(nFound);

    if (!bFull) {
        SafePositionCursor(FALSE);
        CWnd::Invalidate(TRUE);
    } else {
        SafePositionCursor(TRUE);
    }
    NotifyParent(RSCN_SELCHANGE);
    EndWaitCursor();
    return 0;
}

LRESULT CRecordsetCtrl::OnReloadLong(WPARAM wParam, LPARAM lParam) {
    CString strKey;
    strKey.Format("%d", (int)lParam);
    return OnReload(wParam, (LPARAM)(LPCTSTR)strKey);
}

LRESULT CRecordsetCtrl::OnRefreshView(WPARAM, LPARAM) {
    EndPendingEdit();
    RefreshView();
    InvalidateRect(NULL, TRUE);
    return 0;
}

void CRecordsetCtrl::RefreshView() {
    GetTable(&m_arrayTable, &m_arrayColumns, CRecordsetDoc::gtRefresh, m_nRows, &m_varFirst,
             &m_varLast, &m_nTableRows);
}

int CRecordsetCtrl::GetTable(CRowArray* pTable, CColumnArray* pColumns, int nMode, int nRows,
                             COleVariant* pFirst, COleVariant* pLast, int* pnCount) {
    if (m_pDoc == NULL)
        return CRecordsetDoc::tsFailed;
    int nFilled = 0;
    const int nStatus = m_pDoc->GetTable(pTable, pColumns, nMode, nRows, pFirst, pLast,
                                         pnCount ? pnCount : &nFilled);
    if (pTable == &m_arrayTable)
        CountRecordRows(nMode, nStatus, pnCount ? *pnCount : nFilled);
    return nStatus;
}

// A fetch reports the rows it filled from records: a whole window is filled from its top, a
// one-row move shifts the window by one and fills at most the row that came in.
void CRecordsetCtrl::CountRecordRows(int nMode, int nStatus, int nFilled) {
    const int nSize = (int)m_arrayTable.GetSize();
    switch (nStatus) {
    case CRecordsetDoc::tsEmpty:
        m_nRecordRows = 0;
        break;
    case CRecordsetDoc::tsFailed:
        break; // the window is as far as the fetch got
    case CRecordsetDoc::tsBottom:
        m_nRecordRows = 1; // the last record alone, in row 0
        break;
    case CRecordsetDoc::tsTop:
        if (nMode != CRecordsetDoc::gtLineUp)
            m_nRecordRows = nFilled; // fell back to the first page
        break;
    default:
        if (nFilled > 1 || (nMode != CRecordsetDoc::gtLineDown && nMode != CRecordsetDoc::gtLineUp))
            m_nRecordRows = nFilled;
        else if (nMode == CRecordsetDoc::gtLineUp)
            m_nRecordRows += nFilled;
        else if (nFilled == 0)
            m_nRecordRows -= 1; // the end was in the window: a blank row came in below
        break;
    }
    m_nRecordRows = std::clamp(m_nRecordRows, 0, nSize);
}
