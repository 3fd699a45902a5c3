// Win32 base types, macros and geometry classes used by the framework stand-in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

// ---------------------------------------------------------------------------
// Decoration macros: the framework's export and calling-convention words carry
// no meaning on this platform.
#define AFX_EXT_CLASS
#define AFX_EXT_API
#define AFX_EXT_DATA
#define AFX_DATA
#define AFX_CDECL
#define AFXAPI
#define AFX_STATIC
#define PASCAL
#define CALLBACK
#define WINAPI
#define APIENTRY
#define afx_msg
#define FAR
#define NEAR
#define CONST const

#ifndef NULL
#define NULL 0
#endif

// ---------------------------------------------------------------------------
// Scalar types. LONG and DWORD are 32 bits as on Win32; message parameters are
// pointer-sized so that they can carry pointers.
typedef int BOOL;
#define TRUE 1
#define FALSE 0

typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef int INT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef short SHORT;
typedef unsigned short USHORT;
typedef long long LONGLONG;
typedef unsigned long long ULONGLONG;
typedef float FLOAT;
typedef double DOUBLE;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef BOOL* LPBOOL;
typedef DWORD* LPDWORD;
typedef UINT* PUINT;
typedef LONG* LPLONG;
typedef int* LPINT;
typedef BYTE* LPBYTE;
typedef WORD* LPWORD;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef LONG HRESULT;
typedef LONG SCODE;
typedef DWORD LCID;
typedef WORD LANGID;

// Text is 8-bit: UTF-8 in char.
typedef char CHAR;
typedef char TCHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef char* LPTSTR;
typedef const char* LPCTSTR;
#define _T(x) x
#define TEXT(x) x

typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef DWORD COLORREF;
typedef DWORD* LPCOLORREF;

// Opaque handles.
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef HINSTANCE HRSRC;
struct HWND__;
typedef HWND__* HWND;
struct HMENU__;
typedef HMENU__* HMENU;
struct HACCEL__;
typedef HACCEL__* HACCEL;
typedef void* HANDLE;
struct HKEY__;
typedef HKEY__* HKEY;
// Drawing handles: the device context and the GDI objects (defined by platform/gdi).
struct HDC__;
typedef HDC__* HDC;
struct HGDIOBJ__;
typedef HGDIOBJ__* HGDIOBJ;
typedef HGDIOBJ HPEN;
typedef HGDIOBJ HBRUSH;
typedef HGDIOBJ HFONT;
typedef HGDIOBJ HBITMAP;
typedef HGDIOBJ HPALETTE;
typedef HGDIOBJ HRGN;
struct HCURSOR__;
typedef HCURSOR__* HCURSOR;
struct HICON__;
typedef HICON__* HICON;

// A place in a list (documents' views, templates, the framework's list collections).
struct KelPosition__;
typedef KelPosition__* POSITION;
#define BEFORE_START_POSITION ((POSITION)-1L)

#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define DISP_E_TYPEMISMATCH ((HRESULT)0x80020005L)
#define DISP_E_OVERFLOW ((HRESULT)0x8002000AL)
#define DISP_E_BADVARTYPE ((HRESULT)0x80020008L)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

// ---------------------------------------------------------------------------
// Word and colour macros.
#define MAKEWORD(a, b)                                                                             \
    ((WORD)(((BYTE)((DWORD_PTR)(a)&0xff)) | ((WORD)((BYTE)((DWORD_PTR)(b)&0xff))) << 8))
#define MAKELONG(a, b)                                                                             \
    ((LONG)(((WORD)((DWORD_PTR)(a)&0xffff)) | ((DWORD)((WORD)((DWORD_PTR)(b)&0xffff))) << 16))
#define LOWORD(l) ((WORD)((DWORD_PTR)(l)&0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))
#define LOBYTE(w) ((BYTE)((DWORD_PTR)(w)&0xff))
#define HIBYTE(w) ((BYTE)((((DWORD_PTR)(w)) >> 8) & 0xff))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define MAKELRESULT(l, h) ((LRESULT)(DWORD)MAKELONG(l, h))
#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))

#define RGB(r, g, b)                                                                               \
    ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) (LOBYTE(rgb))
#define GetGValue(rgb) (LOBYTE(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) (LOBYTE((rgb) >> 16))
#define CLR_INVALID 0xFFFFFFFF
#define CLR_NONE 0xFFFFFFFFL
#define CLR_DEFAULT 0xFF000000L

#define MAKEINTRESOURCE(i) ((LPTSTR)((ULONG_PTR)((WORD)(i))))
#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)

// Debug helpers: ASSERT stops a debug build where the framework's would.
#ifdef NDEBUG
#define ASSERT(f) ((void)0)
#define VERIFY(f) ((void)(f))
#else
#define ASSERT(f) ((f) ? (void)0 : ::AfxAssertFailed(__FILE__, __LINE__, #f))
#define VERIFY(f) ASSERT(f)
#endif
#define ASSERT_VALID(p) ASSERT((p) != NULL)
#define ASSERT_KINDOF(cls, p) ASSERT((p)->IsKindOf(RUNTIME_CLASS(cls)))
#define TRACE(...) ((void)0)
#define TRACE0(s) ((void)0)
#define UNUSED(x) ((void)(x))
#define UNUSED_ALWAYS(x) ((void)(x))
[[noreturn]] void AfxAssertFailed(const char* file, int line, const char* expr);

// ---------------------------------------------------------------------------
// Geometry.
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef RECT* LPRECT;
typedef const RECT* LPCRECT;

struct POINT {
    LONG x;
    LONG y;
};
typedef POINT* LPPOINT;

struct SIZE {
    LONG cx;
    LONG cy;
};
typedef SIZE* LPSIZE;

class CSize;
class CRect;

class CPoint : public POINT {
public:
    CPoint() : POINT{0, 0} {}
    CPoint(int initX, int initY) : POINT{initX, initY} {}
    CPoint(POINT initPt) : POINT(initPt) {}
    CPoint(SIZE initSize) : POINT{initSize.cx, initSize.cy} {}
    explicit CPoint(DWORD dwPoint) : POINT{(short)LOWORD(dwPoint), (short)HIWORD(dwPoint)} {}

    void Offset(int xOffset, int yOffset) {
        x += xOffset;
        y += yOffset;
    }
    void Offset(POINT point) { Offset(point.x, point.y); }
    void SetPoint(int X, int Y) {
        x = X;
        y = Y;
    }
    BOOL operator==(POINT point) const { return x == point.x && y == point.y; }
    BOOL operator!=(POINT point) const { return !(*this == point); }
    void operator+=(POINT point) { Offset(point); }
    void operator-=(POINT point) { Offset(-point.x, -point.y); }
    CPoint operator+(POINT point) const { return CPoint(x + point.x, y + point.y); }
    CPoint operator-(POINT point) const { return CPoint(x - point.x, y - point.y); }
    CPoint operator-() const { return CPoint(-x, -y); }
};

class CSize : public SIZE {
public:
    CSize() : SIZE{0, 0} {}
    CSize(int initCX, int initCY) : SIZE{initCX, initCY} {}
    CSize(SIZE initSize) : SIZE(initSize) {}
    CSize(POINT initPt) : SIZE{initPt.x, initPt.y} {}
    BOOL operator==(SIZE size) const { return cx == size.cx && cy == size.cy; }
    BOOL operator!=(SIZE size) const { return !(*this == size); }
    void operator+=(SIZE size) {
        cx += size.cx;
        cy += size.cy;
    }
    void operator-=(SIZE size) {
        cx -= size.cx;
        cy -= size.cy;
    }
    CSize operator+(SIZE size) const { return CSize(cx + size.cx, cy + size.cy); }
    CSize operator-(SIZE size) const { return CSize(cx - size.cx, cy - size.cy); }
    CSize operator-() const { return CSize(-cx, -cy); }
};

class CRect : public RECT {
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& srcRect) : RECT(srcRect) {}
    CRect(LPCRECT lpSrcRect) : RECT(*lpSrcRect) {}
    CRect(POINT point, SIZE size) : RECT{point.x, point.y, point.x + size.cx, point.y + size.cy} {}
    CRect(POINT topLeft, POINT bottomRight)
        : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(&left); }
    CPoint& BottomRight() { return *reinterpret_cast<CPoint*>(&right); }
    const CPoint& TopLeft() const { return *reinterpret_cast<const CPoint*>(&left); }
    const CPoint& BottomRight() const { return *reinterpret_cast<const CPoint*>(&right); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    BOOL IsRectEmpty() const { return left >= right || top >= bottom; }
    BOOL IsRectNull() const { return left == 0 && right == 0 && top == 0 && bottom == 0; }
    BOOL PtInRect(POINT point) const {
        return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
    }
    void SetRect(int x1, int y1, int x2, int y2) {
        left = x1;
        top = y1;
        right = x2;
        bottom = y2;
    }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    void CopyRect(LPCRECT lpSrcRect) { *static_cast<RECT*>(this) = *lpSrcRect; }
    BOOL EqualRect(LPCRECT r) const {
        return left == r->left && top == r->top && right == r->right && bottom == r->bottom;
    }
    void InflateRect(int x, int y) {
        left -= x;
        top -= y;
        right += x;
        bottom += y;
    }
    void InflateRect(SIZE size) { InflateRect(size.cx, size.cy); }
    void InflateRect(int l, int t, int r, int b) {
        left -= l;
        top -= t;
        right += r;
        bottom += b;
    }
    void DeflateRect(int x, int y) { InflateRect(-x, -y); }
    void DeflateRect(SIZE size) { InflateRect(-size.cx, -size.cy); }
    void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
    void OffsetRect(int x, int y) {
        left += x;
        right += x;
        top += y;
        bottom += y;
    }
    void OffsetRect(POINT point) { OffsetRect(point.x, point.y); }
    void OffsetRect(SIZE size) { OffsetRect(size.cx, size.cy); }
    void NormalizeRect() {
        if (left > right) {
            LONG t = left;
            left = right;
            right = t;
        }
        if (top > bottom) {
            LONG t = top;
            top = bottom;
            bottom = t;
        }
    }
    // Empty result (all zero) when the rectangles do not overlap, as the system does.
    BOOL IntersectRect(LPCRECT a, LPCRECT b) {
        CRect r(a->left > b->left ? a->left : b->left, a->top > b->top ? a->top : b->top,
                a->right < b->right ? a->right : b->right,
                a->bottom < b->bottom ? a->bottom : b->bottom);
        if (r.IsRectEmpty()) {
            SetRectEmpty();
            return FALSE;
        }
        *this = r;
        return TRUE;
    }
    BOOL UnionRect(LPCRECT a, LPCRECT b) {
        CRect ra(a), rb(b);
        if (ra.IsRectEmpty()) {
            *this = rb;
        } else if (rb.IsRectEmpty()) {
            *this = ra;
        } else {
            SetRect(ra.left < rb.left ? ra.left : rb.left, ra.top < rb.top ? ra.top : rb.top,
                    ra.right > rb.right ? ra.right : rb.right,
                    ra.bottom > rb.bottom ? ra.bottom : rb.bottom);
        }
        if (IsRectEmpty()) {
            SetRectEmpty();
            return FALSE;
        }
        return TRUE;
    }

    void operator=(const RECT& srcRect) { CopyRect(&srcRect); }
    BOOL operator==(const RECT& rect) const { return EqualRect(&rect); }
    BOOL operator!=(const RECT& rect) const { return !EqualRect(&rect); }
    void operator+=(POINT point) { OffsetRect(point); }
    void operator-=(POINT point) { OffsetRect(-point.x, -point.y); }
    void operator&=(const RECT& rect) { IntersectRect(this, &rect); }
    void operator|=(const RECT& rect) { UnionRect(this, &rect); }
    CRect operator+(POINT point) const {
        CRect r(*this);
        r.OffsetRect(point);
        return r;
    }
    CRect operator-(POINT point) const {
        CRect r(*this);
        r.OffsetRect(-point.x, -point.y);
        return r;
    }
    CRect operator&(const RECT& rect) const {
        CRect r;
        r.IntersectRect(this, &rect);
        return r;
    }
    CRect operator|(const RECT& rect) const {
        CRect r;
        r.UnionRect(this, &rect);
        return r;
    }
};

// Free functions of the system on rectangles and points.
inline BOOL SetRect(LPRECT r, int x1, int y1, int x2, int y2) {
    r->left = x1;
    r->top = y1;
    r->right = x2;
    r->bottom = y2;
    return TRUE;
}
inline BOOL SetRectEmpty(LPRECT r) {
    return SetRect(r, 0, 0, 0, 0);
}
inline BOOL CopyRect(LPRECT dst, LPCRECT src) {
    *dst = *src;
    return TRUE;
}
inline BOOL IsRectEmpty(LPCRECT r) {
    return r->left >= r->right || r->top >= r->bottom;
}
inline BOOL PtInRect(LPCRECT r, POINT pt) {
    return CRect(r).PtInRect(pt);
}
inline BOOL OffsetRect(LPRECT r, int dx, int dy) {
    static_cast<CRect*>(r)->OffsetRect(dx, dy);
    return TRUE;
}
inline BOOL InflateRect(LPRECT r, int dx, int dy) {
    static_cast<CRect*>(r)->InflateRect(dx, dy);
    return TRUE;
}
inline BOOL IntersectRect(LPRECT dst, LPCRECT a, LPCRECT b) {
    return static_cast<CRect*>(dst)->IntersectRect(a, b);
}
inline BOOL UnionRect(LPRECT dst, LPCRECT a, LPCRECT b) {
    return static_cast<CRect*>(dst)->UnionRect(a, b);
}
inline BOOL EqualRect(LPCRECT a, LPCRECT b) {
    return CRect(a).EqualRect(b);
}
