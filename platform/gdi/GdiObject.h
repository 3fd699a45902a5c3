// CGdiObject: the framework's owner of a graphics object handle.
#pragma once

#include "platform/core/Object.h"
#include "platform/gdi/GdiFunctions.h"

class CGdiObject : public CObject {
    DECLARE_DYNCREATE(CGdiObject)
public:
    CGdiObject() = default;
    // Deletes the object it still holds.
    ~CGdiObject() override;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = NULL;

    operator HGDIOBJ() const { return m_hObject; }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }

    // The object attached to the handle, or a temporary one of the handle's class (CPen,
    // CBrush, CFont, CBitmap, CPalette, CRgn) that the layer owns until DeleteTempMap or until
    // the handle is deleted. NULL for a NULL or unknown handle.
    static CGdiObject* PASCAL FromHandle(HGDIOBJ hObject);
    // Frees the temporary objects; the window layer calls it when the loop goes idle.
    static void PASCAL DeleteTempMap();
    // The number of temporary objects alive (for tests of the idle clean-up).
    static int PASCAL GetTempMapCount();

    // Takes ownership of a handle; FALSE for NULL or when one is already held.
    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    BOOL CreateStockObject(int nIndex);
    BOOL UnrealizeObject() { return m_hObject != NULL; }

    int GetObject(int nCount, LPVOID lpObject) const {
        return ::GetObject(m_hObject, nCount, lpObject);
    }
    UINT GetObjectType() const { return (UINT)::GetObjectType(m_hObject); }

    BOOL operator==(const CGdiObject& obj) const { return obj.m_hObject == m_hObject; }
    BOOL operator!=(const CGdiObject& obj) const { return obj.m_hObject != m_hObject; }
};
