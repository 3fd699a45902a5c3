// CImageList: images of one size kept side by side, each with an optional mask, drawn
// transparently. The header, toolbars and image buttons cut their 16 x 16 images from strips.
#pragma once

#include "platform/core/Object.h"
#include "platform/gdi/Bitmap.h"

class CDC;

struct KelImageList;
typedef KelImageList* HIMAGELIST;

#define ILC_MASK 0x0001
#define ILC_COLOR 0x0000
#define ILC_COLORDDB 0x00FE
#define ILC_COLOR4 0x0004
#define ILC_COLOR8 0x0008
#define ILC_COLOR16 0x0010
#define ILC_COLOR24 0x0018
#define ILC_COLOR32 0x0020

#define ILD_NORMAL 0x0000
#define ILD_TRANSPARENT 0x0001
#define ILD_BLEND25 0x0002
#define ILD_FOCUS ILD_BLEND25
#define ILD_BLEND50 0x0004
#define ILD_SELECTED ILD_BLEND50
#define ILD_BLEND ILD_BLEND50
#define ILD_MASK 0x0010

struct IMAGEINFO {
    HBITMAP hbmImage; // the list's image bitmap (owned by the list)
    HBITMAP hbmMask;  // its mask: white where transparent; NULL without ILC_MASK
    int Unused1;
    int Unused2;
    RECT rcImage; // the image's place in those bitmaps
};

class CImageList : public CObject {
    DECLARE_DYNCREATE(CImageList)
public:
    CImageList() = default;
    ~CImageList() override;
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST m_hImageList = NULL;
    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }

    // An empty list of cx x cy images; nInitial and nGrow are capacity hints. FALSE when a
    // list is already held or a size is not positive.
    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    // A masked list (ILC_MASK) filled from a bitmap resource on the resource chain, cut into
    // images cx wide, crMask transparent.
    BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
    BOOL Create(LPCTSTR lpszBitmapID, int cx, int nGrow, COLORREF crMask);
    BOOL DeleteImageList();
    BOOL Attach(HIMAGELIST hImageList);
    HIMAGELIST Detach();

    int GetImageCount() const;
    BOOL GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const;
    // CLR_NONE (the default): ILD_NORMAL draws transparently; a colour fills the masked-out
    // pixels instead.
    COLORREF SetBkColor(COLORREF cr);
    COLORREF GetBkColor() const;

    // Adds every whole image of the bitmap (its width divided by cx, at least one), cutting
    // and padding with transparent pixels; the index of the first one added, -1 on failure.
    // With a mask bitmap, its white pixels are transparent; with a colour, pixels of that
    // colour are. A list made without ILC_MASK keeps no mask and draws images opaque.
    int Add(CBitmap* pbmImage, CBitmap* pbmMask);
    int Add(CBitmap* pbmImage, COLORREF crMask);
    BOOL Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask);
    // -1 removes every image.
    BOOL Remove(int nImage);

    // ILD_NORMAL, ILD_TRANSPARENT, ILD_MASK (draws the mask), ILD_BLEND25/50 (blended with
    // the highlight colour, as a focused or selected image).
    BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle);
};

// The handle-level calls under CImageList.
int ImageList_GetImageCount(HIMAGELIST himl);
BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy);
BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle);
