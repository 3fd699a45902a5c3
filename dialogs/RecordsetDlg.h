// CRecordsetDlg: a grid in a resizable dialog, for picking a record, modally (DoModal) or
// modelessly (Create). The host hands over a configuration record (SetLoad) and, to receive
// the chosen record, a recordset of its own (SetRecordset). Choose (5503) selects the current
// row's record into that recordset and ends with IDOK; New, Open, Delete and Print go to the
// grid, where a grid class derived by the host acts on them.
#pragma once

#include "afxdao.h"
#include "afxwin.h"
#include "companions/dialogs/SizeDialog.h"
#include "companions/dialogs/ToolBarDialog.h"
#include "grid/RecordsetCtrl.h"

#define IDD_RSC_LIST 2058
#define IDC_RSC_LISTFRAME 5130
#define IDC_RSC_DESCRIPTION 5039

class AFX_EXT_CLASS CRecordsetDlg : public CToolBarDialog {
    DECLARE_DYNAMIC(CRecordsetDlg)
public:
    explicit CRecordsetDlg(UINT nIDTemplate = IDD_RSC_LIST, CWnd* pParentWnd = NULL);
    ~CRecordsetDlg() override;

    // Modeless: the window from template 2058 without a parent; the object deletes itself
    // when its window is destroyed.
    BOOL Create();
    using CToolBarDialog::Create;

    void SetLoad(CRecordsetLoad* pLoad) { m_pLoad = pLoad; }
    void SetWidth(int nWidth) { m_nWidth = nWidth; }
    void SetHeight(int nHeight) { m_nHeight = nHeight; }
    void SetParent(CWnd* pParentWnd) { m_pParentWnd = pParentWnd; }
    void SetDescription(UINT nDescription) { m_nDescription = nDescription; }
    void SetRecordset(CDaoRecordset* pRecordset) { m_pRecordset = pRecordset; }
    CRecordsetCtrl* GetRecordsetCtrl() const { return m_pRecordsetCtrl; }

    BOOL OnInitDialog() override;
    virtual void OnOk();
    void OnCancel() override;

    BOOL m_bModeless;
    CRecordsetCtrl* m_pRecordsetCtrl;
    CRecordsetLoad* m_pLoad;
    CSizeDialog m_sizeDialog;
    int m_nWidth;
    int m_nHeight;
    CWnd* m_pParentWnd;
    UINT m_nDescription;
    CDaoRecordset* m_pRecordset;

protected:
    void PostNcDestroy() override;
    void Close(int nResult);
    void ForwardToGrid(UINT nID);

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnNew();
    afx_msg void OnOpen();
    afx_msg void OnDelete();
    afx_msg void OnPrint();
    afx_msg void OnChoose();

    DECLARE_MESSAGE_MAP()
};
