#include "records/AdvSearch.h"

CAdvSearch::CAdvSearch() : m_nColumnSel(0), m_nOperatorSel(0), m_nColumn(-2), m_nOperator(-2) {}

// Member by member: a member added later cannot be forgotten in a copy.
CAdvSearch::CAdvSearch(const CAdvSearch&) = default;
CAdvSearch& CAdvSearch::operator=(const CAdvSearch&) = default;
CAdvSearch::~CAdvSearch() = default;
