#include "grid/RecordsetCtrlDlg.h"

#include "grid/RecordsetCtrl.h"

#include <vector>

IMPLEMENT_DYNAMIC(CRecordsetCtrlDlg, CExDialog)

BEGIN_MESSAGE_MAP(CRecordsetCtrlDlg, CExDialog)
ON_BN_CLICKED(IDC_RSC_COLADD, OnAdd)
ON_BN_CLICKED(IDC_RSC_COLDELETE, OnDelete)
ON_BN_CLICKED(IDC_RSC_COLUP, OnMoveUp)
ON_BN_CLICKED(IDC_RSC_COLDOWN, OnMoveDown)
ON_UPDATE_COMMAND_UI(IDC_RSC_COLADD, OnUpdateAdd)
ON_UPDATE_COMMAND_UI(IDC_RSC_COLDELETE, OnUpdateDelete)
ON_UPDATE_COMMAND_UI(IDC_RSC_COLUP, OnUpdateDelete)
ON_UPDATE_COMMAND_UI(IDC_RSC_COLDOWN, OnUpdateDelete)
END_MESSAGE_MAP()

CRecordsetCtrlDlg::CRecordsetCtrlDlg(CWnd* pParent)
    : CExDialog(IDD_RSC_COLUMNS, pParent), m_pRecordsetCtrl(NULL), m_pListShow(NULL),
      m_pListHide(NULL) {}

CRecordsetCtrlDlg::~CRecordsetCtrlDlg() = default;

namespace {

// The selected positions of a list, ascending.
std::vector<int> Selection(const CListBox& list) {
    const int nCount = list.GetSelCount();
    std::vector<int> selected(nCount > 0 ? nCount : 0);
    if (nCount > 0)
        list.GetSelItems(nCount, selected.data());
    return selected;
}

// Appends the selected entries of one list to the end of the other, selected there (and
// nothing else selected there), and removes them from the first.
void MoveSelected(CListBox& from, CListBox& to) {
    const std::vector<int> selected = Selection(from);
    if (selected.empty())
        return;
    to.SetSel(-1, FALSE);
    int nLast = -1;
    for (int nPos : selected) {
        CString strText;
        from.GetText(nPos, strText);
        nLast = to.AddString(strText);
        to.SetItemData(nLast, from.GetItemData(nPos));
        to.SetSel(nLast, TRUE);
    }
    for (auto it = selected.rbegin(); it != selected.rend(); ++it)
        from.DeleteString(*it);
    to.SetTopIndex(nLast);
}

// Takes the entry at nFrom out and puts it back at nTo, selected.
void MoveEntry(CListBox& list, int nFrom, int nTo) {
    CString strText;
    list.GetText(nFrom, strText);
    const DWORD_PTR dwColumn = list.GetItemData(nFrom);
    list.DeleteString(nFrom);
    list.InsertString(nTo, strText);
    list.SetItemData(nTo, dwColumn);
    list.SetSel(nTo, TRUE);
}

} // namespace

BOOL CRecordsetCtrlDlg::OnInitDialog() {
    CExDialog::OnInitDialog();
    if (m_wndListShow.GetSafeHwnd() == NULL)
        m_wndListShow.SubclassDlgItem(IDC_RSC_COLSHOW, this);
    if (m_wndListHide.GetSafeHwnd() == NULL)
        m_wndListHide.SubclassDlgItem(IDC_RSC_COLHIDE, this);
    m_pListShow = &m_wndListShow;
    m_pListHide = &m_wndListHide;

    const int n = m_pRecordsetCtrl != NULL ? (int)m_pRecordsetCtrl->m_arrayColumns.GetSize() : 0;
    if (n > 0) {
        const CRecordsetCtrl::CColumnArray& columns = m_pRecordsetCtrl->m_arrayColumns;
        // Shown columns by display position; a later column at the same position wins.
        std::vector<int> order(n, -1);
        for (int i = 0; i < n; ++i) {
            const CColumnDetails& column = columns[i];
            if (column.m_nWidth == 0)
                continue;
            if (column.m_bVisible) {
                if (column.m_nOrder >= 0 && column.m_nOrder < n)
                    order[column.m_nOrder] = i;
            } else {
                m_pListHide->SetItemData(m_pListHide->AddString(column.m_strCaption), i);
            }
        }
        // Each entry carries its column's index: captions need not be unique.
        for (int i : order)
            if (i != -1)
                m_pListShow->SetItemData(m_pListShow->AddString(columns[i].m_strCaption), i);
    }
    UpdateDialogControls(this, FALSE);
    return TRUE;
}

void CRecordsetCtrlDlg::OnAdd() {
    MoveSelected(*m_pListHide, *m_pListShow);
}

void CRecordsetCtrlDlg::OnDelete() {
    MoveSelected(*m_pListShow, *m_pListHide);
}

void CRecordsetCtrlDlg::OnMoveUp() {
    const std::vector<int> selected = Selection(*m_pListShow);
    if (selected.empty())
        return;
    int nFirst = -1;
    for (int nPos : selected) {
        const int nTo = nPos > 0 ? nPos - 1 : 0;
        MoveEntry(*m_pListShow, nPos, nTo);
        if (nFirst == -1)
            nFirst = nTo;
    }
    m_pListShow->SetTopIndex(nFirst);
}

void CRecordsetCtrlDlg::OnMoveDown() {
    const std::vector<int> selected = Selection(*m_pListShow);
    const int nCount = m_pListShow->GetCount();
    if (selected.empty())
        return;
    int nFirst = -1;
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        const int nTo = *it + 1 < nCount ? *it + 1 : nCount - 1;
        MoveEntry(*m_pListShow, *it, nTo);
        if (nFirst == -1)
            nFirst = nTo;
    }
    m_pListShow->SetTopIndex(nFirst);
}

void CRecordsetCtrlDlg::OnUpdateAdd(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_pListHide != NULL && m_pListHide->GetSelCount() > 0);
}

void CRecordsetCtrlDlg::OnUpdateDelete(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_pListShow != NULL && m_pListShow->GetSelCount() > 0);
}

void CRecordsetCtrlDlg::OnOK() {
    if (m_pRecordsetCtrl != NULL && m_pListShow != NULL) {
        CRecordsetCtrl::CColumnArray& columns = m_pRecordsetCtrl->m_arrayColumns;
        const int nColumns = (int)columns.GetSize();
        // A column is shown at its entry's place; entries are matched by the column index they
        // carry, so two columns of one caption keep places of their own.
        std::vector<int> place(nColumns, -1);
        for (int nPos = 0; nPos < m_pListShow->GetCount(); ++nPos) {
            const DWORD_PTR dwColumn = m_pListShow->GetItemData(nPos);
            if (dwColumn < (DWORD_PTR)nColumns && place[dwColumn] < 0)
                place[dwColumn] = nPos;
        }
        for (int i = 0; i < nColumns; ++i) {
            CColumnDetails& column = columns[i];
            if (column.m_nWidth == 0)
                continue;
            if (place[i] >= 0) {
                column.m_bVisible = 1;
                column.m_nOrder = place[i];
            } else {
                column.m_bVisible = 0;
            }
        }
    }
    CExDialog::OnOK();
}
