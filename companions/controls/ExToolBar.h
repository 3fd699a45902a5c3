// CExToolBar: a toolbar whose images come in two sizes and three states. Each of the six image
// modes takes a strip of its own (SetBitmap), cut into images as high as the strip and as wide
// as the toolbar resource's images in proportion (16 x 15 images give 16 x 15 from a 15-pixel
// strip, 26 x 24 from a 24-pixel one):
//   0 imSmall, 1 imSmallHot, 2 imSmallDisabled: the small images;
//   3 imLarge, 4 imLargeHot, 5 imLargeDisabled: the large images.
// The large mode shows the large images (the small ones when no large strip is set, and the
// other way round); the hot images stand on the button under the pointer, the disabled ones on
// disabled buttons (embossed normal images when none are set). The toolbar resource's own
// strip, when there is one, serves as the small normal images.
//
// With the text shown, each button carries under its image the text of the string with its
// command ID (the part after "\n" when the string has one), as buttons of toolbars with
// labels do.
//
// LoadToolBar loads the buttons of a toolbar resource (from the module set with SetInstance,
// else the resource chain); it fails only when there is no such toolbar.
#pragma once

#include "afxext.h"

class CExToolBar : public CToolBar {
    DECLARE_DYNAMIC(CExToolBar)
public:
    enum ImageMode {
        imSmall = 0,
        imSmallHot = 1,
        imSmallDisabled = 2,
        imLarge = 3,
        imLargeHot = 4,
        imLargeDisabled = 5
    };

    CExToolBar();
    ~CExToolBar() override;

    void SetShowText(BOOL bShowText);
    BOOL GetShowText() const { return m_bShowText; }
    void SetLargeMode(BOOL bLargeMode);
    BOOL GetLargeMode() const { return m_bLargeMode; }
    // The module of the strips and toolbars loaded from now on (NULL: the resource chain).
    void SetInstance(HINSTANCE hInstance) { m_hInstance = hInstance; }
    HINSTANCE GetInstance() const { return m_hInstance; }

    // The strip of one image mode: bitmap nIDBitmap, crMask transparent (see the modes above).
    // FALSE, with that mode unchanged, for a missing bitmap or a mode outside 0..5.
    BOOL SetBitmap(UINT nIDBitmap, ImageMode nMode, COLORREF crMask);
    BOOL SetBitmap(UINT nIDBitmap, int nMode, COLORREF crMask) {
        return SetBitmap(nIDBitmap, static_cast<ImageMode>(nMode), crMask);
    }
    using CToolBar::SetBitmap;
    // The images of a mode; NULL when it has none.
    CImageList* GetImages(ImageMode nMode);

    BOOL LoadToolBar(LPCTSTR lpszResourceName);
    BOOL LoadToolBar(UINT nIDResource) { return LoadToolBar(MAKEINTRESOURCE(nIDResource)); }

    // Asks pTarget's update handlers for the buttons' state (a frame, or any command target
    // such as a dialog holding the toolbar).
    void UpdateButtons(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

protected:
    // Hands the toolbar the images and sizes of the current mode and the buttons' texts.
    void Apply();
    BOOL HasImages(int nMode) const { return m_images[nMode].GetSafeHandle() != NULL; }

    CImageList m_images[6];
    CSize m_sizeSmall; // the toolbar resource's image size
    BOOL m_bShowText;
    BOOL m_bLargeMode;
    HINSTANCE m_hInstance;
};
