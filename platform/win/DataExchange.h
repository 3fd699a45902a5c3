// CDataExchange and the DDX_/DDV_ functions: values move between a dialog's members and its
// controls (UpdateData). A value that does not pass is told to the user, the control takes
// the focus, and the exchange stops (CUserException).
#pragma once

#include "platform/core/String.h"
#include "platform/win/Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate; // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl;
    BOOL m_bEditLastControl;

    // The control nIDC of the dialog (an unknown one is a programming error: thrown as
    // CNotSupportedException).
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Stops the exchange: the last control takes the focus (an edit's text selected).
    [[noreturn]] void Fail();
};

// The control becomes the CWnd (subclassed) the first time.
void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, double& value);
// 0 unchecked, 1 checked, 2 indeterminate.
void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// The checked radio button of the group that starts at nIDC, counted from 0; -1 none.
void AFXAPI DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// Selection indices of a combo box or a list box; -1 none.
void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void AFXAPI DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
void AFXAPI DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void AFXAPI DDX_LBString(CDataExchange* pDX, int nIDC, CString& value);

void AFXAPI DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
void AFXAPI DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
