// CRecordsetLoad: the record with which a host configures a grid. The host allocates it
// with new and hands it over; whoever creates the grid from it deletes it.
#pragma once

#include "afx.h"

class CDaoDatabase;

class AFX_EXT_CLASS CRecordsetLoad {
public:
    CRecordsetLoad();
    CRecordsetLoad(const CRecordsetLoad& src);
    CRecordsetLoad& operator=(const CRecordsetLoad& src);
    // Releases the strings only: a borrowed database is never closed or deleted here.
    virtual ~CRecordsetLoad();

    CString m_strRegistryKey;
    DWORD m_adwUser[10];
    CString m_strTitle;
    CString m_strTitleSuffix;
    UINT m_nSearchBarID;
    UINT m_nToolBarID;
    UINT m_nBackgroundBitmapID;
    BOOL m_bShowBackground;
    HINSTANCE m_hResourceInstance;
    BOOL m_bEditOnClick;
    BOOL m_bToolBarText;
    BOOL m_bToolBarLarge;
    DWORD m_dwToolBarStyle;
    UINT m_nToolBarDock;
    DWORD m_dwSearchBarStyle;
    UINT m_nSearchBarDock;
    UINT m_nHeaderBitmapID;
    COLORREF m_crHeaderMask;
    UINT m_anToolBarBitmapID[6];
    COLORREF m_acrToolBarMask[6];
    CRuntimeClass* m_pCtrlClass;
    CDaoDatabase* m_pDatabase;
    CString m_strDatabase;
    CString m_strSQL;
    CString m_strFilter;
    CString m_strFilter2;
    CString m_strOrder;
    int m_nOptions;
};
