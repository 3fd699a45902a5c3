// Loading: the load and reload messages, the refresh in place, and every fetch of the grid
// through the virtual GetTable.
#include "grid/RecordsetCtrl.h"

#include "companions/settings/AppRegistry.h"
#include "companions/settings/Registry.h"

LRESULT CRecordsetCtrl::OnLoad(WPARAM, LPARAM) {
    PostMessage(WM_RSC_RELOAD, 1, 0);
    return 0;
}

LRESULT CRecordsetCtrl::OnReload(WPARAM wParam, LPARAM lParam) {
    if (m_pDoc == NULL)
        return 1;
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
        // have: the records are opened unsorted, and sorted once the field is known.
        bStoredSort = m_nSortByN != -1;
        if (bStoredSort)
            m_pDoc->SetOrder("");
    }

    m_pDoc->Open();
    if (!m_pDoc->IsOpen()) {
        EndWaitCursor();
        return 1;
    }

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
        if (bStoredSort && !m_pDoc->GetOrder().IsEmpty()) {
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
    m_wndVScroll.SetScrollRangePage(0, m_pDoc->GetTot() - 1, FALSE);
    m_wndVScroll.SetScrollPos(nFound, TRUE);

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
    return m_pDoc->GetTable(pTable, pColumns, nMode, nRows, pFirst, pLast, pnCount);
}
