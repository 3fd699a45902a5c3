#include "records/AdvSearch.h"

CAdvSearch::CAdvSearch() : m_nColumnSel(0), m_nOperatorSel(0), m_nColumn(-2), m_nOperator(-2) {}

CAdvSearch::CAdvSearch(const CAdvSearch& src)
    : m_nColumnSel(src.m_nColumnSel), m_nOperatorSel(src.m_nOperatorSel), m_nColumn(src.m_nColumn),
      m_nOperator(src.m_nOperator), m_strCriteria(src.m_strCriteria) {}

CAdvSearch& CAdvSearch::operator=(const CAdvSearch& src) {
    m_nColumnSel = src.m_nColumnSel;
    m_nOperatorSel = src.m_nOperatorSel;
    m_nColumn = src.m_nColumn;
    m_nOperator = src.m_nOperator;
    m_strCriteria = src.m_strCriteria;
    return *this;
}

CAdvSearch::~CAdvSearch() = default;
