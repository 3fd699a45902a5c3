// The graphics interface as free functions over handles: what the framework's CDC and
// CGdiObject classes call underneath, and what code written against the system calls directly.
//
// Handles are checked: a NULL, deleted or unknown handle makes a call fail with its documented
// failure value (FALSE, NULL, 0, CLR_INVALID or GDI_ERROR) and change nothing.
// Everything runs on the user-interface thread.
#pragma once

#include "platform/core/Types.h"
#include "platform/gdi/GdiDefs.h"

// ---------------------------------------------------------------------------
// Objects.
HGDIOBJ GetStockObject(int i);
// Deletes a pen, brush, font, bitmap, palette or region. Stock and system-colour objects are
// left alone (TRUE). An object still selected into a device context stays usable by that
// context until it is deselected or the context is deleted, then it is freed.
BOOL DeleteObject(HGDIOBJ ho);
// Copies the object's logical record (LOGPEN, LOGBRUSH, LOGFONT, BITMAP, or the entry count
// of a palette as a WORD) into pv; with pv NULL, answers the size needed. 0 on failure.
int GetObject(HGDIOBJ h, int c, LPVOID pv);
DWORD GetObjectType(HGDIOBJ h);
// OBJ_DC or OBJ_MEMDC for a device context, 0 for anything else.
DWORD GetObjectType(HDC h);

HPEN CreatePen(int iStyle, int cWidth, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* plpen);

HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int iHatch, COLORREF color);
// The brush keeps its own copy of the bitmap: the bitmap may be deleted afterwards.
HBRUSH CreatePatternBrush(HBITMAP hbm);
HBRUSH CreateBrushIndirect(const LOGBRUSH* plbrush);

HFONT CreateFont(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                 DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                 DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily,
                 LPCTSTR pszFaceName);
HFONT CreateFontIndirect(const LOGFONT* lplf);

// Bitmaps hold 32-bit pixels (blue, green, red, unused: the order of a 32-bit DIB row) or,
// when made with one bit per pixel, black and white. nBitCount 1 takes rows padded to 16 bits,
// the most significant bit first, 1 = white; nBitCount 32 takes 4-byte pixels. The new
// bitmap's pixels are black when lpBits is NULL.
HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits);
HBITMAP CreateBitmapIndirect(const BITMAP* pbm);
// A bitmap like the one the context draws on: monochrome for a memory context that still has
// its initial 1 x 1 monochrome bitmap, 32-bit otherwise.
HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);
// Pixels in the layout of CreateBitmap (32-bit rows of 4 bytes a pixel, or 1-bit rows padded
// to 16 bits); the number of bytes copied.
LONG GetBitmapBits(HBITMAP hbit, LONG cb, LPVOID lpvBits);
LONG SetBitmapBits(HBITMAP hbm, DWORD cb, const void* pvBits);

// Loads a bitmap resource (RT_BITMAP, a KelBitmapResource) of exactly that module.
// uType must be IMAGE_BITMAP; cx, cy 0 keep the natural size, other values stretch.
// LR_LOADMAP3DCOLORS maps the greys 128, 192 and 223 to COLOR_3DSHADOW, COLOR_3DFACE and
// COLOR_3DLIGHT; LR_LOADTRANSPARENT maps the colour of the top-left pixel to COLOR_WINDOW;
// LR_MONOCHROME makes a black-and-white bitmap. Every bitmap here is device independent, so
// LR_CREATEDIBSECTION changes nothing. NULL when the resource is missing.
HANDLE LoadImage(HINSTANCE hInst, LPCTSTR name, UINT type, int cx, int cy, UINT fuLoad);
HBITMAP LoadBitmap(HINSTANCE hInstance, LPCTSTR lpBitmapName);

HPALETTE CreatePalette(const LOGPALETTE* plpal);
UINT GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, LPPALETTEENTRY pPalEntries);
UINT SetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, const PALETTEENTRY* pPalEntries);
UINT GetNearestPaletteIndex(HPALETTE h, COLORREF color);
BOOL ResizePalette(HPALETTE hpal, UINT n);

// Regions are unions of rectangles.
HRGN CreateRectRgn(int x1, int y1, int x2, int y2);
HRGN CreateRectRgnIndirect(LPCRECT lprect);
BOOL SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom);
// hrgnDst = hrgnSrc1 op hrgnSrc2 (hrgnSrc2 unused by RGN_COPY); the type of the result.
int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode);
int OffsetRgn(HRGN hrgn, int x, int y);
BOOL PtInRegion(HRGN hrgn, int x, int y);
BOOL RectInRegion(HRGN hrgn, LPCRECT lprect);
BOOL EqualRgn(HRGN hrgn1, HRGN hrgn2);
int GetRgnBox(HRGN hrgn, LPRECT lprc);

// ---------------------------------------------------------------------------
// Device contexts.

// A memory context drawing on its selected bitmap (initially a 1 x 1 monochrome one).
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
int SaveDC(HDC hdc);
// nSavedDC > 0: that level (from SaveDC); < 0: relative to the latest (-1 the latest).
BOOL RestoreDC(HDC hdc, int nSavedDC);

COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);
int SetROP2(HDC hdc, int rop2);
int GetROP2(HDC hdc);
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);

// Coordinates: device = logical - window origin + viewport origin.
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL GetViewportOrgEx(HDC hdc, LPPOINT lppoint);
BOOL OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL GetWindowOrgEx(HDC hdc, LPPOINT lppoint);
BOOL OffsetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL GetBrushOrgEx(HDC hdc, LPPOINT lppt);
BOOL LPtoDP(HDC hdc, LPPOINT lppt, int c);
BOOL DPtoLP(HDC hdc, LPPOINT lppt, int c);

// Clipping: the region is in device coordinates. SelectClipRgn(hdc, NULL) removes it.
int SelectClipRgn(HDC hdc, HRGN hrgn);
int ExtSelectClipRgn(HDC hdc, HRGN hrgn, int mode);
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
// The smallest rectangle around the visible area, in logical coordinates.
int GetClipBox(HDC hdc, LPRECT lprect);
// 1 with a copy of the clip region the program set, 0 when none is set, -1 on error.
int GetClipRgn(HDC hdc, HRGN hrgn);
BOOL PtVisible(HDC hdc, int x, int y);
BOOL RectVisible(HDC hdc, LPCRECT lprect);

int GetDeviceCaps(HDC hdc, int index);

HPALETTE SelectPalette(HDC hdc, HPALETTE hPal, BOOL bForceBkgd);
// The palette's colours are exact on a true-colour surface: nothing needs mapping, so the
// answer is the number of entries that changed in the system palette: 0.
UINT RealizePalette(HDC hdc);

// ---------------------------------------------------------------------------
// Drawing. Lines exclude their end point; rectangles exclude their right and bottom edges.
BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL LineTo(HDC hdc, int x, int y);
BOOL GetCurrentPositionEx(HDC hdc, LPPOINT lppt);
BOOL Polyline(HDC hdc, const POINT* apt, int cpt);
BOOL Polygon(HDC hdc, const POINT* apt, int cpt);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
int FillRect(HDC hDC, LPCRECT lprc, HBRUSH hbr);
int FrameRect(HDC hDC, LPCRECT lprc, HBRUSH hbr);
BOOL InvertRect(HDC hDC, LPCRECT lprc);
BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop);
BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);
BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc,
                int ySrc, int wSrc, int hSrc, DWORD rop);
// CLR_INVALID outside the visible area.
COLORREF GetPixel(HDC hdc, int x, int y);
// The colour set, or -1 outside the visible area.
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color);

BOOL DrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags);
BOOL DrawFocusRect(HDC hDC, const RECT* lprc);
BOOL DrawFrameControl(HDC hdc, LPRECT lprc, UINT uType, UINT uState);

// ---------------------------------------------------------------------------
// Text. Strings are UTF-8; c = -1 (DrawText) measures up to the terminating zero.
BOOL TextOut(HDC hdc, int x, int y, LPCTSTR lpString, int c);
// lpDx: the advance of each character (code point), or NULL.
BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCTSTR lpString, UINT c,
                const INT* lpDx);
// The height of the text; with DT_VCENTER or DT_BOTTOM the offset from lprc->top to the bottom
// of the drawn text. 0 on failure.
int DrawText(HDC hdc, LPCTSTR lpchText, int cchText, LPRECT lprc, UINT format);
// Draws the output this thread's contexts still hold back (DrawText keeps a row of cells' text
// to draw it in one go). Any other call on a context does it first; whoever reads a surface
// the contexts draw on outside them calls this.
BOOL GdiFlush();
BOOL GetTextExtentPoint32(HDC hdc, LPCTSTR lpString, int c, LPSIZE psizl);
// How many bytes of the text fit in nMaxExtent (lpnFit) and, in alpDx, the extent up to the end
// of each byte's character.
BOOL GetTextExtentExPoint(HDC hdc, LPCTSTR lpszString, int cchString, int nMaxExtent, LPINT lpnFit,
                          LPINT alpDx, LPSIZE lpSize);
BOOL GetTextMetrics(HDC hdc, LPTEXTMETRIC lptm);
int GetTextFace(HDC hdc, int c, LPTSTR lpName);
