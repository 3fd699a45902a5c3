// CResourceException: a graphics object or resource could not be made or found.
#pragma once

#include "platform/core/Exception.h"

class CResourceException : public CException {
    DECLARE_DYNAMIC(CResourceException)
public:
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) override;
};

[[noreturn]] void AfxThrowResourceException();
