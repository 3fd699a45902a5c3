// CBitmap: a bitmap of 32-bit pixels (or black and white), drawn on through a memory DC.
#pragma once

#include "platform/gdi/GdiObject.h"

class CDC;

class CBitmap : public CGdiObject {
    DECLARE_DYNAMIC(CBitmap)
public:
    CBitmap() = default;

    static CBitmap* PASCAL FromHandle(HBITMAP hBitmap) {
        return static_cast<CBitmap*>(CGdiObject::FromHandle(hBitmap));
    }
    operator HBITMAP() const { return (HBITMAP)m_hObject; }

    // From the resource chain (AfxFindResourceHandle), RT_BITMAP.
    BOOL LoadBitmap(LPCTSTR lpszResourceName);
    BOOL LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCE(nIDResource)); }
    // Loads and maps colours: by default black, dark grey, light grey and white become the
    // button text, shadow, face and highlight colours.
    BOOL LoadMappedBitmap(UINT nIDBitmap, UINT nFlags = 0, LPCOLORMAP lpColorMap = NULL,
                          int nMapSize = 0);

    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits) {
        return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
    }
    BOOL CreateBitmapIndirect(LPBITMAP lpBitmap) {
        return Attach(::CreateBitmapIndirect(lpBitmap));
    }
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    BOOL CreateDiscardableBitmap(CDC* pDC, int nWidth, int nHeight) {
        return CreateCompatibleBitmap(pDC, nWidth, nHeight);
    }

    int GetBitmap(BITMAP* pBitMap) { return ::GetObject(m_hObject, sizeof(BITMAP), pBitMap); }
    DWORD SetBitmapBits(DWORD dwCount, const void* lpBits) {
        return (DWORD)::SetBitmapBits((HBITMAP)m_hObject, dwCount, lpBits);
    }
    DWORD GetBitmapBits(DWORD dwCount, LPVOID lpBits) const {
        return (DWORD)::GetBitmapBits((HBITMAP)m_hObject, (LONG)dwCount, lpBits);
    }
};
