#include "platform/dao/DaoException.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CDaoException, CException)

CDaoException::CDaoException()
    : m_scode(S_OK), m_nAfxDaoError(NO_AFX_DAO_ERROR), m_pErrorInfo(NULL) {}

CDaoException::~CDaoException() = default;

short CDaoException::GetErrorCount() {
    return static_cast<short>(m_errors.size());
}

void CDaoException::GetErrorInfo(int nIndex) {
    if (nIndex < 0 || nIndex >= static_cast<int>(m_errors.size()))
        AfxThrowInvalidArgException();
    m_pErrorInfo = &m_errors[static_cast<size_t>(nIndex)];
}

void CDaoException::AddError(const CDaoErrorInfo& info) {
    // The vector may move its elements: keep m_pErrorInfo on the same index.
    size_t current = m_pErrorInfo ? static_cast<size_t>(m_pErrorInfo - m_errors.data()) : 0;
    m_errors.push_back(info);
    m_pErrorInfo = &m_errors[current];
}

BOOL CDaoException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) {
    if (pnHelpContext)
        *pnHelpContext = m_pErrorInfo ? static_cast<UINT>(m_pErrorInfo->m_lHelpContext) : 0;
    CString text;
    if (m_pErrorInfo)
        text = m_pErrorInfo->m_strDescription;
    else if (m_nAfxDaoError == AFX_DAO_ERROR_OBJECT_NOT_OPEN)
        text = "The object is not open.";
    else if (m_nAfxDaoError == AFX_DAO_ERROR_ENGINE_INITIALIZATION)
        text = "The database engine could not be initialized.";
    else if (m_nAfxDaoError == AFX_DAO_ERROR_DFX_BIND)
        text = "A field exchange address is not valid.";
    if (text.IsEmpty()) {
        if (lpszError && nMaxError > 0)
            *lpszError = '\0';
        return FALSE;
    }
    if (lpszError && nMaxError > 0)
        lstrcpyn(lpszError, text, static_cast<int>(nMaxError));
    return TRUE;
}

void AfxThrowDaoException(int nAfxDaoError, SCODE scode) {
    CDaoException* e = new CDaoException;
    e->m_nAfxDaoError = nAfxDaoError;
    e->m_scode = scode;
    throw e;
}
