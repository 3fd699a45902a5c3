// CUserException: an operation stopped by the user (or by a check that already told the user,
// as data exchange does); it carries no message of its own.
#pragma once

#include "platform/core/Exception.h"

class CUserException : public CException {
    DECLARE_DYNAMIC(CUserException)
};

[[noreturn]] void AFXAPI AfxThrowUserException();
