// CDaoException: thrown with `throw new`, released by the catcher with Delete().
#pragma once

#include "platform/core/Exception.h"
#include "platform/dao/DaoConstants.h"
#include "platform/dao/DaoErrorInfo.h"

#include <vector>

class CDaoException : public CException {
    DECLARE_DYNAMIC(CDaoException)
public:
    CDaoException();
    ~CDaoException() override;
    CDaoException(const CDaoException&) = delete;
    CDaoException& operator=(const CDaoException&) = delete;

    // Number of engine errors carried; GetErrorInfo(i) makes error i the one m_pErrorInfo
    // points at (error 0 after construction).
    short GetErrorCount();
    void GetErrorInfo(int nIndex);

    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) override;

    // Adds an engine error; the first one added becomes m_pErrorInfo.
    void AddError(const CDaoErrorInfo& info);

    SCODE m_scode;
    int m_nAfxDaoError;
    CDaoErrorInfo* m_pErrorInfo;

private:
    std::vector<CDaoErrorInfo> m_errors;
};

// Throws a CDaoException for a failure of the classes themselves (no engine error).
[[noreturn]] void AfxThrowDaoException(int nAfxDaoError = NO_AFX_DAO_ERROR, SCODE scode = S_OK);
