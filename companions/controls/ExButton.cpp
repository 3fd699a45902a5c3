#include "companions/controls/ExButton.h"

#include "companions/controls/ControlDrawing.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CExButton, CButton)

BEGIN_MESSAGE_MAP(CExButton, CButton)
ON_WM_PAINT()
END_MESSAGE_MAP()

namespace {
constexpr int kGap = 4; // between the image and the caption
}

CExButton::CExButton() : m_nImage(-1) {}

CExButton::~CExButton() {
    // The window paints with the image list: it goes first.
    if (m_hWnd != NULL)
        DestroyWindow();
}

BOOL CExButton::SetBitmap(HINSTANCE hInstance, UINT nIDStrip, UINT nImage, int cx, int cy,
                          COLORREF crMask) {
    CImageList images;
    if (!KelLoadImageStrip(images, hInstance, nIDStrip, cx, cy, crMask) ||
        static_cast<int>(nImage) >= images.GetImageCount())
        return FALSE;
    m_imageList.DeleteImageList();
    m_imageList.Attach(images.Detach());
    m_nImage = static_cast<int>(nImage);
    if (m_hWnd != NULL)
        Invalidate();
    return TRUE;
}

BOOL CExButton::IsPushButton() const {
    const UINT type = GetButtonStyle() & BS_TYPEMASK;
    return (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) && !(GetStyle() & BS_BITMAP);
}

void CExButton::OnPaint() {
    if (!HasImage() || !IsPushButton()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    const UINT state = GetState();
    const BOOL pushed = (state & BST_PUSHED) != 0;
    const BOOL focused = GetFocus() == this;
    const BOOL enabled = IsWindowEnabled();
    const BOOL isDefault = (GetButtonStyle() & BS_TYPEMASK) == BS_DEFPUSHBUTTON;

    // The face, as the parent colours buttons.
    HBRUSH brush = NULL;
    if (CWnd* pParent = GetParent())
        brush = reinterpret_cast<HBRUSH>(
            pParent->SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc.GetSafeHdc()),
                                 reinterpret_cast<LPARAM>(m_hWnd)));
    if (brush == NULL)
        brush = ::GetSysColorBrush(COLOR_3DFACE);
    ::FillRect(dc.GetSafeHdc(), &rc, brush);

    // The frame: a dark ring for the default button, sunken when pressed, raised otherwise.
    if (isDefault || (pushed && focused)) {
        ::FrameRect(dc.GetSafeHdc(), &rc, ::GetSysColorBrush(COLOR_WINDOWFRAME));
        rc.DeflateRect(1, 1);
    }
    if (pushed) {
        ::FrameRect(dc.GetSafeHdc(), &rc, ::GetSysColorBrush(COLOR_3DSHADOW));
        CRect inner = rc;
        inner.DeflateRect(1, 1);
        ::FillRect(dc.GetSafeHdc(), &inner, ::GetSysColorBrush(COLOR_3DFACE));
    } else {
        dc.DrawFrameControl(rc, DFC_BUTTON, DFCS_BUTTONPUSH);
    }

    CRect content = rc;
    content.DeflateRect(3, 3);
    if (pushed)
        content.OffsetRect(1, 1);
    const int saved = dc.SaveDC();
    dc.IntersectClipRect(content);
    if (CFont* pFont = GetFont())
        dc.SelectObject(pFont);
    CString text;
    GetWindowText(text);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(m_imageList.GetSafeHandle(), &cx, &cy);
    CSize extent(0, 0);
    if (!text.IsEmpty()) {
        CRect calc(0, 0, 0, 0);
        dc.DrawText(text, calc, DT_SINGLELINE | DT_CALCRECT);
        extent = calc.Size();
    }
    // Image and caption side by side, centred together; the caption shortens first.
    const int total = cx + (text.IsEmpty() ? 0 : kGap + extent.cx);
    int x = content.left + std::max(0, (content.Width() - total) / 2);
    const CPoint pt(x, content.top + (content.Height() - cy) / 2);
    if (enabled)
        m_imageList.Draw(&dc, m_nImage, pt, ILD_TRANSPARENT);
    else
        KelDrawDisabledImage(&dc, m_imageList, m_nImage, pt);
    if (!text.IsEmpty()) {
        x += cx + kGap;
        CRect rcText(x, content.top, content.right, content.bottom);
        const UINT fmt = DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS;
        dc.SetBkMode(TRANSPARENT);
        if (enabled) {
            dc.SetTextColor(::GetSysColor(COLOR_BTNTEXT));
            dc.DrawText(text, rcText, fmt);
        } else {
            KelDrawDisabledText(&dc, text, rcText, fmt);
        }
    }
    dc.RestoreDC(saved);
    if (focused) {
        CRect focus = rc;
        focus.DeflateRect(3, 3);
        dc.DrawFocusRect(focus);
    }
}
