#include "platform/controls/NativeControl.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kel::ctl {

CString NativeControl::Text() const {
    return WindowText(m_hWnd);
}

HFONT NativeControl::Font() const {
    auto f = reinterpret_cast<HFONT>(::DefWindowProc(m_hWnd, WM_GETFONT, 0, 0));
    return f != nullptr ? f : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void NativeControl::Notify(WORD code) {
    HWND parent = Parent();
    if (parent != nullptr)
        ::SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(Id()), code),
                      reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT NativeControl::NotifyParent(NMHDR& hdr, UINT code) {
    hdr.hwndFrom = m_hWnd;
    hdr.idFrom = static_cast<UINT_PTR>(Id());
    hdr.code = code;
    HWND parent = Parent();
    if (parent == nullptr)
        return 0;
    return ::SendMessage(parent, WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
}

HBRUSH NativeControl::CtlColor(HDC hdc, UINT msg) {
    HWND parent = Parent();
    HBRUSH brush = nullptr;
    if (parent != nullptr)
        brush = reinterpret_cast<HBRUSH>(::SendMessage(parent, msg, reinterpret_cast<WPARAM>(hdc),
                                                       reinterpret_cast<LPARAM>(m_hWnd)));
    if (brush == nullptr)
        brush = reinterpret_cast<HBRUSH>(::DefWindowProc(m_hWnd, msg, reinterpret_cast<WPARAM>(hdc),
                                                         reinterpret_cast<LPARAM>(m_hWnd)));
    return brush;
}

void NativeControl::SendDrawItem(DRAWITEMSTRUCT& dis, UINT ctlType, HDC hdc) {
    dis.CtlType = ctlType;
    dis.CtlID = static_cast<UINT>(Id());
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = m_hWnd;
    dis.hDC = hdc;
    if (HWND parent = Parent())
        ::SendMessage(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
}

CImageList* TempImageList(HIMAGELIST himl) {
    struct Wrapper {
        CImageList list;
        ~Wrapper() { list.Detach(); }
    };
    static std::unordered_map<HIMAGELIST, std::unique_ptr<Wrapper>> map;
    if (himl == nullptr)
        return nullptr;
    auto& slot = map[himl];
    if (!slot) {
        slot = std::make_unique<Wrapper>();
        slot->list.Attach(himl);
    }
    return &slot->list;
}

HWND TopLevelOf(HWND h) {
    while (h != nullptr && (::GetWindowLong(h, GWL_STYLE) & WS_CHILD))
        h = ::GetParent(h);
    return h;
}

CString WindowText(HWND h) {
    const int n = ::GetWindowTextLength(h);
    CString s;
    ::GetWindowText(h, s.GetBuffer(n), n + 1);
    s.ReleaseBuffer();
    return s;
}

// ---------------------------------------------------------------------------

int CopyText(const CString& text, LPTSTR buf, int room) {
    if (buf == nullptr || room <= 0)
        return 0;
    const int n = std::min(room - 1, text.GetLength());
    std::memcpy(buf, static_cast<LPCTSTR>(text), static_cast<size_t>(n));
    buf[n] = '\0';
    return n;
}

int NextCharPos(const CString& s, int pos) {
    const int n = s.GetLength();
    if (pos >= n)
        return n;
    ++pos;
    while (pos < n && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80)
        ++pos;
    return pos;
}

int PrevCharPos(const CString& s, int pos) {
    if (pos <= 0)
        return 0;
    --pos;
    while (pos > 0 && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80)
        --pos;
    return pos;
}

bool IsWordChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') ||
           (u >= 'a' && u <= 'z') || u == '_';
}

// ---------------------------------------------------------------------------

namespace {

bool IsInk(COLORREF c) {
    // Dark pixels carry the drawing; light ones (face, highlight) vanish when embossed.
    const int lum = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
    return lum < 160;
}

void Emboss(HDC hdc, int x, int y, int cx, int cy, const std::vector<bool>& ink) {
    const COLORREF hi = ::GetSysColor(COLOR_3DHILIGHT), sh = ::GetSysColor(COLOR_3DSHADOW);
    for (int pass = 0; pass < 2; ++pass) {
        for (int j = 0; j < cy; ++j) {
            for (int i = 0; i < cx; ++i) {
                if (ink[static_cast<size_t>(j) * cx + i])
                    ::SetPixelV(hdc, x + i + (pass == 0 ? 1 : 0), y + j + (pass == 0 ? 1 : 0),
                                pass == 0 ? hi : sh);
            }
        }
    }
}

// The pixels of a bitmap as 0x00RRGGBB values, row by row (a monochrome one as black and
// white).
std::vector<uint32_t> Pixels(HBITMAP hbm, BITMAP& bm) {
    std::vector<uint32_t> px;
    if (::GetObject(hbm, sizeof(bm), &bm) == 0)
        return px;
    const size_t count = static_cast<size_t>(bm.bmWidth) * bm.bmHeight;
    if (bm.bmBitsPixel == 32) {
        px.resize(count);
        ::GetBitmapBits(hbm, static_cast<LONG>(count * 4), px.data());
    } else if (bm.bmBitsPixel == 1) {
        const int stride = ((bm.bmWidth + 15) / 16) * 2;
        std::vector<BYTE> rows(static_cast<size_t>(stride) * bm.bmHeight);
        ::GetBitmapBits(hbm, static_cast<LONG>(rows.size()), rows.data());
        px.resize(count);
        for (int y = 0; y < bm.bmHeight; ++y) {
            for (int x = 0; x < bm.bmWidth; ++x) {
                const BYTE b = rows[static_cast<size_t>(y) * stride + x / 8];
                px[static_cast<size_t>(y) * bm.bmWidth + x] =
                    (b & (0x80 >> (x % 8))) ? 0xFFFFFFu : 0u;
            }
        }
    }
    return px;
}

COLORREF ToColor(uint32_t bgrx) {
    return RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF);
}

} // namespace

int FontHeight(HFONT hFont) {
    MeasureDC dc(hFont);
    TEXTMETRIC tm{};
    ::GetTextMetrics(dc, &tm);
    return tm.tmHeight;
}

int TextWidth(HFONT hFont, LPCTSTR text, int len) {
    MeasureDC dc(hFont);
    SIZE sz{};
    ::GetTextExtentPoint32(dc, text, len, &sz);
    return sz.cx;
}

void DrawGrayText(HDC hdc, LPCTSTR text, int len, RECT rc, UINT format) {
    const COLORREF old = ::GetTextColor(hdc);
    const int mode = ::SetBkMode(hdc, TRANSPARENT);
    RECT shifted = rc;
    ::OffsetRect(&shifted, 1, 1);
    ::SetTextColor(hdc, ::GetSysColor(COLOR_3DHILIGHT));
    ::DrawText(hdc, text, len, &shifted, format);
    ::SetTextColor(hdc, ::GetSysColor(COLOR_3DSHADOW));
    ::DrawText(hdc, text, len, &rc, format);
    ::SetTextColor(hdc, old);
    ::SetBkMode(hdc, mode);
}

void DrawItemText(HDC hdc, LPCTSTR text, int len, RECT rc, UINT format, bool enabled) {
    if (enabled) {
        const int mode = ::SetBkMode(hdc, TRANSPARENT);
        ::DrawText(hdc, text, len, &rc, format);
        ::SetBkMode(hdc, mode);
    } else {
        DrawGrayText(hdc, text, len, rc, format);
    }
}

void DrawBitmap(HDC hdc, HBITMAP hbm, int x, int y, int cx, int cy) {
    HDC mem = ::CreateCompatibleDC(hdc);
    HGDIOBJ old = ::SelectObject(mem, hbm);
    ::BitBlt(hdc, x, y, cx, cy, mem, 0, 0, SRCCOPY);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
}

void FillScrollShaft(HDC hdc, const RECT& rc, bool pressed) {
    if (rc.right <= rc.left || rc.bottom <= rc.top)
        return;
    // An 8 x 8 checker of the two colours, aligned to the device so that pieces match.
    const COLORREF a = ::GetSysColor(pressed ? COLOR_3DDKSHADOW : COLOR_3DHILIGHT);
    const COLORREF b = ::GetSysColor(pressed ? COLOR_3DSHADOW : COLOR_3DFACE);
    uint32_t bits[64];
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            COLORREF c = ((x + y) & 1) ? b : a;
            bits[y * 8 + x] = (static_cast<uint32_t>(GetRValue(c)) << 16) |
                              (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
        }
    }
    HBITMAP pattern = ::CreateBitmap(8, 8, 1, 32, bits);
    HBRUSH brush = ::CreatePatternBrush(pattern);
    ::FillRect(hdc, &rc, brush);
    ::DeleteObject(brush);
    ::DeleteObject(pattern);
}

void DrawDisabledBitmap(HDC hdc, HBITMAP hbm, int x, int y) {
    BITMAP bm{};
    std::vector<uint32_t> px = Pixels(hbm, bm);
    if (px.empty())
        return;
    std::vector<bool> ink(px.size());
    for (size_t i = 0; i < px.size(); ++i)
        ink[i] = IsInk(ToColor(px[i]));
    Emboss(hdc, x, y, bm.bmWidth, bm.bmHeight, ink);
}

void DrawDisabledImage(HDC hdc, HIMAGELIST himl, int nImage, int x, int y) {
    CImageList list;
    if (!list.Attach(himl))
        return;
    IMAGEINFO info{};
    if (list.GetImageInfo(nImage, &info)) {
        BITMAP bm{}, bmMask{};
        std::vector<uint32_t> px = Pixels(info.hbmImage, bm);
        std::vector<uint32_t> mask;
        if (info.hbmMask != nullptr)
            mask = Pixels(info.hbmMask, bmMask);
        const CRect r(info.rcImage);
        if (!px.empty()) {
            std::vector<bool> ink(static_cast<size_t>(r.Width()) * r.Height());
            for (int j = 0; j < r.Height(); ++j) {
                for (int i = 0; i < r.Width(); ++i) {
                    const size_t at = static_cast<size_t>(r.top + j) * bm.bmWidth + r.left + i;
                    const bool transparent = !mask.empty() && (mask[at] & 0xFFFFFF) != 0;
                    ink[static_cast<size_t>(j) * r.Width() + i] =
                        !transparent && IsInk(ToColor(px[at]));
                }
            }
            Emboss(hdc, x, y, r.Width(), r.Height(), ink);
        }
    }
    list.Detach();
}

} // namespace kel::ctl
