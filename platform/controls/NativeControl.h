// Inside the controls: the native part of a control, one object per window, reached through
// the window procedure of its class (the system's behaviour that a CWnd subclass defaults to).
// Not a public header.
#pragma once

#include "platform/controls/ControlDefs.h"
#include "platform/core/String.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/MessageBox.h"
#include "platform/win/WinApi.h"

#include <memory>
#include <unordered_map>

namespace kel::ctl {

class NativeControl {
public:
    explicit NativeControl(HWND hWnd) : m_hWnd(hWnd) {}
    virtual ~NativeControl() = default;
    NativeControl(const NativeControl&) = delete;
    NativeControl& operator=(const NativeControl&) = delete;

    virtual LRESULT Proc(UINT msg, WPARAM wp, LPARAM lp) = 0;

    // FALSE once the window is gone (a handler of a notification may destroy it).
    bool Alive() const { return !m_bDestroyed && ::IsWindow(m_hWnd); }
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp) { return ::DefWindowProc(m_hWnd, msg, wp, lp); }

    DWORD Style() const { return static_cast<DWORD>(::GetWindowLong(m_hWnd, GWL_STYLE)); }
    HWND Parent() const { return ::GetParent(m_hWnd); }
    int Id() const { return ::GetDlgCtrlID(m_hWnd); }
    bool Enabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    bool Focused() const { return ::GetFocus() == m_hWnd; }
    CRect Client() const {
        CRect rc;
        ::GetClientRect(m_hWnd, &rc);
        return rc;
    }
    CString Text() const;
    // The font set with WM_SETFONT, else the default GUI font.
    HFONT Font() const;
    void Invalidate() { ::InvalidateRect(m_hWnd, nullptr, TRUE); }
    // The end of a mouse operation: the capture goes if the control still holds it.
    void ReleaseOwnCapture() {
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
    }

    // WM_COMMAND with the control's ID and the code, to the parent.
    void Notify(WORD code);
    // WM_NOTIFY to the parent; the header's hwndFrom, idFrom and code are filled in.
    LRESULT NotifyParent(NMHDR& hdr, UINT code);
    // The parent's brush for the control's background (WM_CTLCOLORxxx); it also sets the
    // text and background colours of the context.
    HBRUSH CtlColor(HDC hdc, UINT msg);
    // WM_DRAWITEM to the parent for the whole of an owner-drawn control or item: the caller
    // fills in the item's ID, state, rectangle and data; the rest is filled in here.
    void SendDrawItem(DRAWITEMSTRUCT& dis, UINT ctlType, HDC hdc);

    HWND m_hWnd;
    bool m_bDestroyed = false;
};

// One WM_PAINT of a control: BeginPaint with the control's font selected; the context is put
// back and the paint ended when it goes out of scope.
class ControlPaint {
public:
    explicit ControlPaint(NativeControl& ctl) : ControlPaint(ctl.m_hWnd, ctl.Font()) {}
    ControlPaint(HWND hWnd, HFONT font) : m_hWnd(hWnd) {
        hdc = ::BeginPaint(m_hWnd, &m_ps);
        m_nSaved = ::SaveDC(hdc);
        ::SelectObject(hdc, font);
    }
    ~ControlPaint() {
        ::RestoreDC(hdc, m_nSaved);
        ::EndPaint(m_hWnd, &m_ps);
    }
    ControlPaint(const ControlPaint&) = delete;
    ControlPaint& operator=(const ControlPaint&) = delete;

    HDC hdc = nullptr;

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps{};
    int m_nSaved = 0;
};

// The window procedure of a control class: the object is made at WM_NCCREATE and forgotten
// after WM_NCDESTROY; a call in progress keeps it alive until it returns.
template <class T> class NativeClass {
public:
    static LRESULT CALLBACK WndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        auto& map = Map();
        if (msg == WM_NCCREATE)
            map[h] = std::make_shared<T>(h);
        auto it = map.find(h);
        if (it == map.end())
            return ::DefWindowProc(h, msg, wp, lp);
        std::shared_ptr<T> keep = it->second;
        if (msg == WM_NCDESTROY)
            keep->m_bDestroyed = true;
        LRESULT r = keep->Proc(msg, wp, lp);
        if (msg == WM_NCDESTROY) {
            auto at = map.find(h);
            if (at != map.end() && at->second == keep)
                map.erase(at);
        }
        return r;
    }
    // The object of a window of this class; NULL for another window.
    static T* Find(HWND h) {
        auto it = Map().find(h);
        return it == Map().end() ? nullptr : it->second.get();
    }

private:
    static std::unordered_map<HWND, std::shared_ptr<T>>& Map() {
        static std::unordered_map<HWND, std::shared_ptr<T>> map;
        return map;
    }
};

// A CImageList over a list handle, kept for the program's life and never owning the list
// (what the framework's FromHandle gives); NULL for NULL.
CImageList* TempImageList(HIMAGELIST himl);

// The top-level window a window belongs to.
HWND TopLevelOf(HWND h);
// The window's text.
CString WindowText(HWND h);

// ---------------------------------------------------------------------------
// Text of UTF-8 strings: positions are byte offsets on character boundaries.
// Copies text into a caller's buffer of `room` characters with its terminating NUL; answers
// the characters copied (0 with no buffer).
int CopyText(const CString& text, LPTSTR buf, int room);
int NextCharPos(const CString& s, int pos);
int PrevCharPos(const CString& s, int pos);
bool IsWordChar(char c);

// ---------------------------------------------------------------------------
// Drawing in the classic look.

// A screen context with a font selected, for measuring.
class MeasureDC {
public:
    explicit MeasureDC(HFONT font) : m_dc(::GetDC(nullptr)) { m_old = ::SelectObject(m_dc, font); }
    ~MeasureDC() {
        ::SelectObject(m_dc, m_old);
        ::ReleaseDC(nullptr, m_dc);
    }
    MeasureDC(const MeasureDC&) = delete;
    MeasureDC& operator=(const MeasureDC&) = delete;
    operator HDC() const { return m_dc; }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// The height of a line of text in the font (tmHeight).
int FontHeight(HFONT hFont);
// The width of text in the font.
int TextWidth(HFONT hFont, LPCTSTR text, int len);
// Text drawn as the system draws disabled text: embossed in highlight and shadow.
void DrawGrayText(HDC hdc, LPCTSTR text, int len, RECT rc, UINT format);
// Text in the current colours, or grayed when not enabled.
void DrawItemText(HDC hdc, LPCTSTR text, int len, RECT rc, UINT format, bool enabled);
// A bitmap copied as it is, its top left at (x, y).
void DrawBitmap(HDC hdc, HBITMAP hbm, int x, int y, int cx, int cy);
// The shaft of a scroll bar: the 50% pattern of highlight and face (dark when pressed).
void FillScrollShaft(HDC hdc, const RECT& rc, bool pressed);
// A bitmap (or an image of a list) drawn embossed, as a disabled image is.
void DrawDisabledBitmap(HDC hdc, HBITMAP hbm, int x, int y);
void DrawDisabledImage(HDC hdc, HIMAGELIST himl, int nImage, int x, int y);

// The window procedures of the classes (registered by KelRegisterControlClasses).
WNDPROC ButtonWndProc();
WNDPROC StaticWndProc();
WNDPROC EditWndProc();
WNDPROC ListBoxWndProc();
WNDPROC ComboLBoxWndProc();
WNDPROC ComboBoxWndProc();
WNDPROC ScrollBarWndProc();
WNDPROC HeaderWndProc();
WNDPROC ToolTipWndProc();
WNDPROC ToolbarWndProc();
WNDPROC MenuWndProc();

} // namespace kel::ctl
