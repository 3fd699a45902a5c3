// CPaintDC: the device context of WM_PAINT, between BeginPaint and EndPaint. It draws only on
// the window's invalid area, and validates it.
#pragma once

#include "platform/gdi/DC.h"
#include "platform/win/Messages.h"

class CWnd;

class CPaintDC : public CDC {
    DECLARE_DYNAMIC(CPaintDC)
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps;

protected:
    HWND m_hWnd;
};
