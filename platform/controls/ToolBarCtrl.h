// CToolBarCtrl: the toolbar control: image buttons and separators.
#pragma once

#include "platform/controls/CommCtrlDefs.h"
#include "platform/win/Wnd.h"

class CToolBarCtrl : public CWnd {
    DECLARE_DYNAMIC(CToolBarCtrl)
public:
    CToolBarCtrl() = default;

    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    BOOL EnableButton(int nID, BOOL bEnable = TRUE) {
        return (BOOL)::SendMessage(m_hWnd, TB_ENABLEBUTTON, nID, MAKELPARAM(bEnable, 0));
    }
    BOOL CheckButton(int nID, BOOL bCheck = TRUE) {
        return (BOOL)::SendMessage(m_hWnd, TB_CHECKBUTTON, nID, MAKELPARAM(bCheck, 0));
    }
    BOOL PressButton(int nID, BOOL bPress = TRUE) {
        return (BOOL)::SendMessage(m_hWnd, TB_PRESSBUTTON, nID, MAKELPARAM(bPress, 0));
    }
    BOOL HideButton(int nID, BOOL bHide = TRUE) {
        return (BOOL)::SendMessage(m_hWnd, TB_HIDEBUTTON, nID, MAKELPARAM(bHide, 0));
    }
    BOOL Indeterminate(int nID, BOOL bIndeterminate = TRUE) {
        return (BOOL)::SendMessage(m_hWnd, TB_INDETERMINATE, nID, MAKELPARAM(bIndeterminate, 0));
    }
    BOOL IsButtonEnabled(int nID) const {
        return (BOOL)::SendMessage(m_hWnd, TB_ISBUTTONENABLED, nID, 0);
    }
    BOOL IsButtonChecked(int nID) const {
        return (BOOL)::SendMessage(m_hWnd, TB_ISBUTTONCHECKED, nID, 0);
    }
    BOOL IsButtonPressed(int nID) const {
        return (BOOL)::SendMessage(m_hWnd, TB_ISBUTTONPRESSED, nID, 0);
    }
    BOOL IsButtonHidden(int nID) const {
        return (BOOL)::SendMessage(m_hWnd, TB_ISBUTTONHIDDEN, nID, 0);
    }
    BOOL IsButtonIndeterminate(int nID) const {
        return (BOOL)::SendMessage(m_hWnd, TB_ISBUTTONINDETERMINATE, nID, 0);
    }
    BOOL SetState(int nID, UINT nState) {
        return (BOOL)::SendMessage(m_hWnd, TB_SETSTATE, nID, MAKELPARAM(nState, 0));
    }
    int GetState(int nID) const { return (int)::SendMessage(m_hWnd, TB_GETSTATE, nID, 0); }
    BOOL GetButton(int nIndex, LPTBBUTTON lpButton) const {
        return (BOOL)::SendMessage(m_hWnd, TB_GETBUTTON, nIndex, (LPARAM)lpButton);
    }
    int GetButtonCount() const { return (int)::SendMessage(m_hWnd, TB_BUTTONCOUNT, 0, 0); }
    BOOL GetItemRect(int nIndex, LPRECT lpRect) const {
        return (BOOL)::SendMessage(m_hWnd, TB_GETITEMRECT, nIndex, (LPARAM)lpRect);
    }
    BOOL GetRect(int nID, LPRECT lpRect) const {
        return (BOOL)::SendMessage(m_hWnd, TB_GETRECT, nID, (LPARAM)lpRect);
    }
    void SetButtonStructSize(int nSize) { ::SendMessage(m_hWnd, TB_BUTTONSTRUCTSIZE, nSize, 0); }
    BOOL SetButtonSize(CSize size) {
        return (BOOL)::SendMessage(m_hWnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(size.cx, size.cy));
    }
    BOOL SetBitmapSize(CSize size) {
        return (BOOL)::SendMessage(m_hWnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(size.cx, size.cy));
    }
    CSize GetButtonSize() const {
        DWORD s = (DWORD)::SendMessage(m_hWnd, TB_GETBUTTONSIZE, 0, 0);
        return CSize(LOWORD(s), HIWORD(s));
    }
    void AutoSize() { ::SendMessage(m_hWnd, TB_AUTOSIZE, 0, 0); }
    int CommandToIndex(UINT nID) const {
        return (int)::SendMessage(m_hWnd, TB_COMMANDTOINDEX, nID, 0);
    }
    // Images from a bitmap resource of the resource chain, or from a bitmap (not owned).
    int AddBitmap(int nNumButtons, UINT nBitmapID);
    int AddBitmap(int nNumButtons, CBitmap* pBitmap);
    BOOL AddButtons(int nNumButtons, LPTBBUTTON lpButtons) {
        return (BOOL)::SendMessage(m_hWnd, TB_ADDBUTTONS, nNumButtons, (LPARAM)lpButtons);
    }
    BOOL InsertButton(int nIndex, LPTBBUTTON lpButton) {
        return (BOOL)::SendMessage(m_hWnd, TB_INSERTBUTTON, nIndex, (LPARAM)lpButton);
    }
    BOOL DeleteButton(int nIndex) {
        return (BOOL)::SendMessage(m_hWnd, TB_DELETEBUTTON, nIndex, 0);
    }
    int AddString(UINT nStringID);
    int AddStrings(LPCTSTR lpszStrings) {
        return (int)::SendMessage(m_hWnd, TB_ADDSTRING, 0, (LPARAM)lpszStrings);
    }
    BOOL SetCmdID(int nIndex, UINT nID) {
        return (BOOL)::SendMessage(m_hWnd, TB_SETCMDID, nIndex, nID);
    }
    BOOL GetButtonInfo(int nID, TBBUTTONINFO* ptbbi) const {
        return (BOOL)(::SendMessage(m_hWnd, TB_GETBUTTONINFO, nID, (LPARAM)ptbbi) != -1);
    }
    BOOL SetButtonInfo(int nID, TBBUTTONINFO* ptbbi) {
        return (BOOL)::SendMessage(m_hWnd, TB_SETBUTTONINFO, nID, (LPARAM)ptbbi);
    }
    BOOL SetIndent(int iIndent) { return (BOOL)::SendMessage(m_hWnd, TB_SETINDENT, iIndent, 0); }
    BOOL SetMaxTextRows(int iMaxRows) {
        return (BOOL)::SendMessage(m_hWnd, TB_SETMAXTEXTROWS, iMaxRows, 0);
    }
    void SetStyle(DWORD dwStyle) { ::SendMessage(m_hWnd, TB_SETSTYLE, 0, dwStyle); }
    DWORD GetStyle() const { return (DWORD)::SendMessage(m_hWnd, TB_GETSTYLE, 0, 0); }
    // The window that receives the buttons' WM_COMMAND (the creation parent by default).
    void SetOwner(CWnd* pWnd) {
        ::SendMessage(m_hWnd, TB_SETPARENT, (WPARAM)pWnd->GetSafeHwnd(), 0);
    }
    CImageList* SetImageList(CImageList* pImageList);
    CImageList* GetImageList() const;
    CImageList* SetDisabledImageList(CImageList* pImageList);
    CImageList* GetDisabledImageList() const;
    CImageList* SetHotImageList(CImageList* pImageList);
    CImageList* GetHotImageList() const;
};
