// CColumnDetails: one column of the grid (which field, caption, width, visibility, type,
// alignment, colours, positions, edit mode and display format).
#pragma once

#include "afx.h"

class AFX_EXT_CLASS CColumnDetails {
public:
    CColumnDetails();
    CColumnDetails(const CColumnDetails& src);
    CColumnDetails& operator=(const CColumnDetails& src);
    virtual ~CColumnDetails();

    // Every member back to its default, so that a record can be reused.
    void init();

    BOOL m_bKey;
    CString m_strName;
    CString m_strCaption;
    BOOL m_bVisible;
    int m_nWidth;
    short m_nType;
    int m_nAlign;
    BOOL m_bSortable;
    COLORREF m_crText;
    COLORREF m_crBack;
    int m_nField;
    int m_nOrder;
    int m_nImage;
    short m_nEditMode;
    LONG m_nFormat;
};
