// CRecordsetCtrlDlg: the "Columns" dialog (template 2052). The user moves the grid's columns
// between a list of hidden and a list of shown ones and orders the shown ones; OK writes the
// visibility and display positions into the grid's column records, Cancel writes nothing.
// Columns of width zero are never offered. Columns are matched back by caption.
#pragma once

#include "afxwin.h"
#include "companions/dialogs/ExDialog.h"

class CRecordsetCtrl;

#define IDD_RSC_COLUMNS 2052
#define IDC_RSC_COLDELETE 5116 // "<<"
#define IDC_RSC_COLADD 5117    // ">>"
#define IDC_RSC_COLUP 5119
#define IDC_RSC_COLDOWN 5120
#define IDC_RSC_COLHIDE 5123
#define IDC_RSC_COLSHOW 5124

class AFX_EXT_CLASS CRecordsetCtrlDlg : public CExDialog {
    DECLARE_DYNAMIC(CRecordsetCtrlDlg)
public:
    explicit CRecordsetCtrlDlg(CWnd* pParent = NULL);
    ~CRecordsetCtrlDlg() override;

    void SetRecordsetCtrl(CRecordsetCtrl* pRecordsetCtrl) { m_pRecordsetCtrl = pRecordsetCtrl; }

    CRecordsetCtrl* m_pRecordsetCtrl;
    CListBox* m_pListShow;
    CListBox* m_pListHide;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

    afx_msg void OnAdd();
    afx_msg void OnDelete();
    afx_msg void OnMoveUp();
    afx_msg void OnMoveDown();
    afx_msg void OnUpdateAdd(CCmdUI* pCmdUI);
    afx_msg void OnUpdateDelete(CCmdUI* pCmdUI);

    // The two list boxes of the template, subclassed at initialisation.
    CListBox m_wndListShow;
    CListBox m_wndListHide;

    DECLARE_MESSAGE_MAP()
};
