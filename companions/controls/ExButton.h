// CExButton: a push button with an image. SetBitmap cuts a strip into images and picks one:
// the button then shows that image left of its caption, the two centred together, or the
// image alone when the caption is empty. Pressed, default, focused and disabled buttons look
// as the system's do (a disabled image is embossed). Other button types draw as usual.
#pragma once

#include "afxwin.h"

class CExButton : public CButton {
    DECLARE_DYNAMIC(CExButton)
public:
    CExButton();
    ~CExButton() override;

    // Image nImage of bitmap nIDStrip of hInstance (NULL: the resource chain), cut cx by cy,
    // crMask transparent. FALSE, with the button unchanged, when the strip is missing or has
    // no such image.
    BOOL SetBitmap(HINSTANCE hInstance, UINT nIDStrip, UINT nImage, int cx, int cy,
                   COLORREF crMask);
    using CButton::SetBitmap;
    BOOL HasImage() const { return m_imageList.GetSafeHandle() != NULL; }
    int GetImage() const { return m_nImage; }

protected:
    BOOL IsPushButton() const;
    afx_msg void OnPaint();

    CImageList m_imageList;
    int m_nImage;

    DECLARE_MESSAGE_MAP()
};
