// CClientDC: a device context on a window's client area (GetDC/ReleaseDC), children clipped
// out. With a NULL window, a context of the screen for measuring.
#pragma once

#include "platform/gdi/DC.h"

class CWnd;

class CClientDC : public CDC {
    DECLARE_DYNAMIC(CClientDC)
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd;
};
