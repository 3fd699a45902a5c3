// Inside the controls companion: how its controls draw: image strips cut into image lists, and
// images and text drawn as disabled ones are. Not a public header.
#pragma once

#include "afx.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/ImageList.h"

// Cuts bitmap nID of hInstance (NULL: the resource chain) into images cx by cy (cy 0: the
// bitmap's height; cx 0: square) and puts them in list, replacing what it held. Pixels of
// crMask are transparent: CLR_NONE keeps every pixel, CLR_DEFAULT takes the colour of the
// strip's top-left pixel, and any other value is taken by its red, green and blue (a flags
// byte above them is ignored). FALSE, with the list left as it was, when the bitmap is missing.
BOOL KelLoadImageStrip(CImageList& list, HINSTANCE hInstance, UINT nID, int cx, int cy,
                       COLORREF crMask);

// Draws image nImage of the list embossed, as a disabled image is shown: its darker pixels in
// the highlight colour one pixel down and right, then in the shadow colour.
void KelDrawDisabledImage(CDC* pDC, CImageList& list, int nImage, CPoint pt);

// Text drawn as disabled text is: embossed, in the highlight colour one pixel down and right,
// then in the shadow colour.
void KelDrawDisabledText(CDC* pDC, LPCTSTR lpszText, const CRect& rc, UINT nFormat);

// The size of bitmap nID of hInstance (NULL: the resource chain); FALSE when it is missing.
BOOL KelGetBitmapSize(HINSTANCE hInstance, UINT nID, CSize& size);
