// CWindowDC: a device context on a whole window, its frame included (GetWindowDC/ReleaseDC).
#pragma once

#include "platform/gdi/DC.h"

class CWnd;

class CWindowDC : public CDC {
    DECLARE_DYNAMIC(CWindowDC)
public:
    explicit CWindowDC(CWnd* pWnd);
    ~CWindowDC() override;

protected:
    HWND m_hWnd;
};
