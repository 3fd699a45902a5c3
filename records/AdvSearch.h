// CAdvSearch: one criterion of the advanced search (column, operator, text).
#pragma once

#include "afx.h"

class AFX_EXT_CLASS CAdvSearch {
public:
    CAdvSearch();
    CAdvSearch(const CAdvSearch& src);
    CAdvSearch& operator=(const CAdvSearch& src);
    ~CAdvSearch();

    int m_nColumnSel;
    int m_nOperatorSel;
    int m_nColumn;   // index into the grid's columns; -2: none
    int m_nOperator; // operator code; -2: none
    CString m_strCriteria;
};
