// CRecordsetView: a grid as the view of a document/view frame. The document (CRecordsetDoc)
// receives a CRecordsetLoad when it is opened; at the initial update the view docks the
// toolbar and search bar the record describes in the frame, creates the grid (of the record's
// class) over the document to fill the view and consumes the record. Afterwards the view keeps
// the grid sized to its client area, gives it the focus, passes it every command it does not
// handle itself, and turns the search bar's shortcuts (accelerator table 2054, Alt+1..Alt+5,
// installed by the host) into actions on the bar and the grid.
#pragma once

#include "afxext.h"
#include "afxwin.h"
#include "companions/controls/ExButton.h"
#include "companions/controls/ExToolBar.h"
#include "companions/dialogs/ExDialogBar.h"
#include "document/RecordsetDoc.h"
#include "grid/RecordsetCtrl.h"

// The search bar's shortcuts, and the accelerator table that gives them.
#define IDR_RSC_ACCELERATORS 2054
#define ID_RSV_SETCOLUMN 5513
#define ID_RSV_SETOPERATOR 5514
#define ID_RSV_SETVARIABLE 5515
#define ID_RSV_SETVIEW 5516
#define ID_RSV_SETALL 5517

// The search bar's control ID in the frame.
#define ID_RSV_SEARCHBAR 200

class AFX_EXT_CLASS CRecordsetView : public CView {
    DECLARE_DYNCREATE(CRecordsetView)

public:
    CRecordsetView();
    ~CRecordsetView() override;

    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = NULL) override;
    void OnInitialUpdate() override;
    void OnDraw(CDC* pDC) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    CRecordsetCtrl* GetRecordsetCtrl() const { return m_pRecordsetCtrl; }
    CRecordsetDoc* GetDocument() const;

    CExToolBar m_wndToolBar;
    CExDialogBar m_wndDialogBar;
    CExButton m_btnView;
    CExButton m_btnAll;
    CExButton m_btnConfigSearch;
    CRecordsetCtrl* m_pRecordsetCtrl;

protected:
    // The bar's two selectors as combo-box objects of their own, so that the grid, which
    // reads them through the bar's GetDlgItem, is handed real CComboBox objects rather than
    // temporary plain windows.
    CComboBox m_wndColumnBox;
    CComboBox m_wndOperatorBox;

    // The search bar when it has a window and is visible, else NULL.
    CDialogBar* GetVisibleSearchBar() const;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg LRESULT OnGetHostBars(WPARAM wParam, LPARAM lParam);
    afx_msg void OnSetColumn();
    afx_msg void OnSetOperator();
    afx_msg void OnSetVariable();
    afx_msg void OnSetView();
    afx_msg void OnSetAll();
    afx_msg void OnCancel();

    DECLARE_MESSAGE_MAP()
};
