// CWaitCursor: the application's wait cursor for the lifetime of the object.
#pragma once

#include "platform/win/WinApp.h"

class CWaitCursor {
public:
    CWaitCursor() { AfxGetApp()->DoWaitCursor(1); }
    ~CWaitCursor() { AfxGetApp()->DoWaitCursor(-1); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore() { AfxGetApp()->DoWaitCursor(0); }
};
