// CPen: a logical pen. Width 0 draws one pixel wide, whatever the mapping.
#pragma once

#include "platform/gdi/GdiObject.h"

class CPen : public CGdiObject {
    DECLARE_DYNAMIC(CPen)
public:
    CPen() = default;
    // Throws a CResourceException when the pen cannot be made.
    CPen(int nPenStyle, int nWidth, COLORREF crColor);

    static CPen* PASCAL FromHandle(HPEN hPen) {
        return static_cast<CPen*>(CGdiObject::FromHandle(hPen));
    }
    operator HPEN() const { return (HPEN)m_hObject; }

    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
        return Attach(::CreatePen(nPenStyle, nWidth, crColor));
    }
    BOOL CreatePenIndirect(LPLOGPEN lpLogPen) { return Attach(::CreatePenIndirect(lpLogPen)); }
    int GetLogPen(LOGPEN* pLogPen) { return ::GetObject(m_hObject, sizeof(LOGPEN), pLogPen); }
};
