// CAdvSearchDlg: the advanced search, ten criterion rows in two groups of five; the rows of a
// group are joined by AND, the two groups by OR. OK stores the rows that have a column and an
// operator in the grid's criteria array, with the index where the second group starts; the
// grid's search then builds the filter from them.
#pragma once

#include "afxtempl.h"
#include "afxwin.h"
#include "companions/controls/DateEdit.h"
#include "records/AdvSearch.h"

class CRecordsetCtrl;

#define IDD_RSC_ADVSEARCH 2053
#define IDC_AS_FIRSTCOL 9400 // row r: column 9400 + 3(r-1), operator +1, criterion +2
#define IDC_AS_CLEAR 5154

class AFX_EXT_CLASS CAdvSearchDlg : public CDialog {
public:
    static constexpr int kRows = 10;
    static constexpr int kGroupRows = 5;

    explicit CAdvSearchDlg(CWnd* pParent = NULL);
    ~CAdvSearchDlg() override;

    CRecordsetCtrl* m_pRecordsetCtrl;
    CArray<CAdvSearch, CAdvSearch>* m_pArrayAdvSearch;
    int* m_pnAdvSearchOr;
    CDateEdit* m_pDateEdit[kRows];

    BOOL OnInitDialog() override;

    // Control IDs of row nRow (0 to 9).
    static UINT ColumnID(int nRow) { return IDC_AS_FIRSTCOL + 3 * nRow; }
    static UINT OperatorID(int nRow) { return IDC_AS_FIRSTCOL + 3 * nRow + 1; }
    static UINT CriteriaID(int nRow) { return IDC_AS_FIRSTCOL + 3 * nRow + 2; }

protected:
    void OnOK() override;
    afx_msg void OnClearsearch();
    afx_msg void OnSelendokCol1();
    afx_msg void OnSelendokCol2();
    afx_msg void OnSelendokCol3();
    afx_msg void OnSelendokCol4();
    afx_msg void OnSelendokCol5();
    afx_msg void OnSelendokCol6();
    afx_msg void OnSelendokCol7();
    afx_msg void OnSelendokCol8();
    afx_msg void OnSelendokCol9();
    afx_msg void OnSelendokCol10();
    // The body of the ten handlers: the date editor follows the column's type.
    void OnSelendokCol(int nRow);

    // The lists of the rows, subclassed at initialisation: [row][0] column, [row][1] operator.
    CComboBox* Combo(UINT nID) {
        const int nIndex = (int)nID - IDC_AS_FIRSTCOL;
        if (nIndex < 0 || nIndex >= 3 * kRows || nIndex % 3 == 2)
            return NULL;
        CComboBox& box = m_comboRows[nIndex / 3][nIndex % 3];
        return box.GetSafeHwnd() != NULL ? &box : NULL;
    }
    CComboBox m_comboRows[kRows][2];

    DECLARE_MESSAGE_MAP()
};
