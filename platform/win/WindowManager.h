// Inside the window layer: the window records behind HWND and the one manager that owns them,
// the message queue, timers, focus, capture, activation, input state, painting and the clock.
// Not a public header: code above the window layer uses WinApi.h and CWnd.
#pragma once

#include "platform/core/String.h"
#include "platform/win/Backend.h"
#include "platform/win/Clock.h"
#include "platform/win/WinApi.h"

#include <cairo.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CWnd;

namespace kel::win {

struct RegionDeleter {
    void operator()(cairo_region_t* r) const { cairo_region_destroy(r); }
};
struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using RegionPtr = std::unique_ptr<cairo_region_t, RegionDeleter>;
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

inline RegionPtr NewRegion() {
    return RegionPtr(cairo_region_create());
}
inline RegionPtr NewRegion(const RECT& r) {
    cairo_rectangle_int_t rc{r.left, r.top, r.right - r.left, r.bottom - r.top};
    if (rc.width <= 0 || rc.height <= 0)
        return NewRegion();
    return RegionPtr(cairo_region_create_rectangle(&rc));
}
// The bounding rectangle of a region (empty for an empty region).
inline CRect RegionBox(const cairo_region_t* rgn) {
    cairo_rectangle_int_t r;
    cairo_region_get_extents(rgn, &r);
    return CRect(r.x, r.y, r.x + r.width, r.y + r.height);
}

// A registered window class.
struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC wndProc = nullptr;
    HINSTANCE hInstance = nullptr;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;
    HBRUSH hbrBackground = nullptr;
    std::string menuName;
    bool system = false; // registered by the window layer itself
};

// One raw input event, converted into messages when the loop takes it, so that capture and
// the window layout of that moment decide where it goes.
struct RawInput {
    enum Kind { Mouse, Key, Char } kind = Mouse;
    UINT message = 0; // Mouse: WM_MOUSEMOVE, WM_xBUTTONDOWN/UP, WM_MOUSEWHEEL
    POINT ptScreen{}; // Mouse
    int wheelDelta = 0;
    UINT vk = 0;       // Key
    BOOL down = FALSE; // Key
    UINT ch = 0;       // Key: the character it produces (0: from the key code); Char: the code
    DWORD time = 0;
};

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT elapse;
    DWORD due;
    TIMERPROC proc;
    ULONGLONG order; // firing order among timers due at the same time
};

} // namespace kel::win

// The window record behind an HWND.
struct HWND__ {
    std::shared_ptr<kel::win::WindowClass> cls;
    DWORD style = 0;
    DWORD exStyle = 0;
    UINT_PTR id = 0;
    HWND parent = nullptr;      // child windows only
    HWND owner = nullptr;       // top-level windows only
    std::vector<HWND> children; // z-order, topmost first
    CRect rect;                 // parent's client coordinates; top-level: screen
    CString text;
    HFONT font = nullptr;
    HICON iconBig = nullptr;
    HICON iconSmall = nullptr;
    LONG_PTR userData = 0;
    WNDPROC wndProc = nullptr;
    HINSTANCE hInstance = nullptr;
    CWnd* wnd = nullptr; // the permanent CWnd attached to it

    kel::win::RegionPtr update; // invalid area, client coordinates; null when valid
    bool erase = false;
    bool ncPaint = false;

    bool destroying = false;
    bool nativeCreated = false;
    bool maximized = false;
    bool minimized = false;
    CRect restoreRect;

    kel::win::SurfacePtr surface; // top-level windows: the window's image
};

namespace kel::win {

// Defined by the CWnd module: a window's record is about to go (temporary CWnd objects on it
// forget it).
void OnWindowFreed(HWND h);

// The WM_SIZE and WM_MOVE that DefWindowProc sends for WM_WINDOWPOSCHANGED.
void KelDefWindowPosChanged(HWND h, const WINDOWPOS* wp);

// The key that types ch on a US keyboard, and whether Shift is held for it; false when no key
// does (the Robot types text through it).
bool KeyForChar(UINT ch, UINT& vk, bool& shift);

class WindowManager {
public:
    static WindowManager& Get();
    WindowManager();
    ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // Records.
    HWND__* Rec(HWND h) const; // NULL for a handle that names no live window
    bool IsLive(HWND h) const { return Rec(h) != nullptr; }
    const std::vector<HWND>& TopLevels() const { return m_topLevels; }
    HWND Desktop() const { return m_desktop; }

    // Classes.
    ATOM RegisterClass(const WNDCLASS& wc, bool system);
    BOOL UnregisterClass(LPCTSTR name);
    std::shared_ptr<WindowClass> FindClass(LPCTSTR name) const;

    // Creation and destruction.
    HWND CreateWindowEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style, int x,
                        int y, int cx, int cy, HWND parent, HMENU menu, HINSTANCE hInstance,
                        LPVOID param);
    BOOL DestroyWindow(HWND h);

    // Messages.
    LRESULT Send(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    BOOL Post(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    void PostQuit(int code);
    // Takes the next message (posted, input, quit, paint, timer in that order). FALSE when
    // there is none; with remove FALSE nothing is taken (paint and timers stay due).
    BOOL Peek(MSG& msg, HWND filter, UINT minMsg, UINT maxMsg, bool remove);
    // Waits for a message and takes it. Returns FALSE for WM_QUIT. When nothing can ever come
    // (no display, no timer, an empty queue) it returns a WM_NULL message with lPrivate set.
    BOOL Get(MSG& msg, HWND filter, UINT minMsg, UINT maxMsg);
    bool HasPending(bool includeTimers) const;
    DWORD MessageTime() const { return m_lastMsgTime; }
    POINT MessagePos() const { return m_lastMsgPos; }
    UINT RegisterMessage(LPCTSTR name);
    bool InSend() const { return m_sendDepth > 0; }

    // Geometry.
    CRect ClientInsets(const HWND__* w) const; // the non-client widths on each side
    CRect ClientRect(HWND h) const;            // (0, 0, cx, cy)
    CPoint ClientOriginScreen(HWND h) const;
    CPoint WindowOriginScreen(HWND h) const;
    HWND TopLevelOf(HWND h) const;
    CPoint ClientOriginInTop(HWND h) const; // client (0,0) in the top-level window image
    BOOL SetWindowPos(HWND h, HWND after, int x, int y, int cx, int cy, UINT flags);
    BOOL ShowWindow(HWND h, int cmd);
    bool IsVisible(HWND h) const; // the window and all its ancestors
    BOOL SetParent(HWND child, HWND parent, HWND* old);
    void SetStyle(HWND h, DWORD style);
    void SetExStyle(HWND h, DWORD exStyle);

    // Focus, capture, activation.
    HWND SetFocus(HWND h);
    HWND Focus() const { return m_focus; }
    HWND SetCapture(HWND h);
    BOOL ReleaseCapture();
    HWND Capture() const { return m_capture; }
    // WM_MOUSELEAVE for h when the pointer next leaves its client area (TrackMouseEvent).
    BOOL TrackMouseLeave(HWND h, bool cancel);
    HWND SetActive(HWND h, UINT how);
    HWND Active() const { return m_active; }
    // The window that takes the activation the user gives h: h itself when it is enabled, else
    // the topmost visible, enabled window it owns (the modal dialog that disabled it); NULL
    // when there is none.
    HWND ActivationTarget(HWND h) const;
    BOOL EnableWindow(HWND h, BOOL enable);

    // Input.
    void QueueInput(const RawInput& in);
    SHORT KeyState(int vk) const;
    SHORT AsyncKeyState(int vk) const;
    POINT CursorPos() const { return m_cursorPos; }
    void SetCursorPos(POINT pt) { m_cursorPos = pt; }
    HCURSOR SetCursor(HCURSOR c);
    HCURSOR Cursor() const { return m_cursor; }
    UINT DoubleClickTime() const { return m_dblClickTime; }
    void SetDoubleClickTime(UINT ms) { m_dblClickTime = ms ? ms : 500; }
    BOOL TranslateMessage(const MSG& msg);
    HWND WindowFromScreenPoint(POINT pt, HWND* pTop) const;
    HWND DeepestAt(HWND h, POINT pt, HWND after) const;

    // Timers.
    UINT_PTR SetTimer(HWND h, UINT_PTR id, UINT elapse, TIMERPROC proc);
    BOOL KillTimer(HWND h, UINT_PTR id);
    bool NextTimerDue(DWORD& due) const;

    // Painting.
    void Invalidate(HWND h, const RECT* rc, bool erase, bool children);
    void InvalidateRgn(HWND h, const cairo_region_t* rgn, bool erase, bool children);
    void Validate(HWND h, const RECT* rc);
    void InvalidateBeneath(HWND parent, const CRect& rectInParentClient);
    void Expose(HWND h); // the whole window, its frame and its children
    BOOL ScrollWindow(HWND h, int dx, int dy, const RECT* rc, const RECT* clip);
    bool HasInvalid(HWND h) const;
    void UpdateWindow(HWND h, bool children);
    // Sends WM_PAINT; a window whose handler never began painting is validated afterwards, so
    // that a forgetful handler does not make the loop paint it forever.
    void SendPaint(HWND h);
    HDC BeginPaint(HWND h, PAINTSTRUCT* ps);
    void EndPaint(HWND h, const PAINTSTRUCT* ps);
    HDC GetDC(HWND h, bool window);
    int ReleaseDC(HWND h, HDC dc);
    HWND WindowFromDC(HDC dc) const;
    BOOL SaveImage(HWND h, LPCTSTR path);
    COLORREF Pixel(HWND h, POINT ptClient);
    // The area of the window a DC may draw on, in top-level image coordinates.
    RegionPtr VisibleRegion(HWND h, bool client) const;

    // Time.
    Clock& GetClock() { return m_clock; }
    DWORD Now() const { return m_clock.Now(); }

    // Backend.
    Backend& GetBackend();
    void SetBackend(std::unique_ptr<Backend> backend);
    void Present(HWND top, const CRect& dirty);
    void PresentAll();
    bool ScrollShown(HWND top, const cairo_region_t* dest, int dx, int dy);

    // The creation hook: the CWnd module attaches a pending CWnd before WM_NCCREATE.
    using CreateHook = void (*)(HWND);
    void SetCreateHook(CreateHook hook) { m_createHook = hook; }

    // Drops every window, message and timer (between tests).
    void Reset();

    // WM_SIZE and WM_MOVE with the window's current client size and place.
    void SendSizeMove(HWND h, bool size, bool move);

private:
    HWND NewRecord();
    void FreeRecord(HWND h);
    void DestroyTree(HWND h);
    void Unlink(HWND h);
    void CancelFocusIn(HWND h);
    bool ConvertInput(MSG& msg);
    bool ConvertMouse(const RawInput& in, MSG& msg);
    void NotifyMouseLeave(HWND h);
    bool ConvertKey(const RawInput& in, MSG& msg);
    // The window that takes the point, from the deepest one under it up (WM_NCHITTEST).
    HWND HitTest(HWND under, POINT ptScreen, LRESULT* pHit);
    bool NextPaint(MSG& msg, HWND filter) const;
    HWND FindPaint(HWND h) const;
    bool NextTimer(MSG& msg, HWND filter, bool remove);
    void EnsureSurface(HWND top);
    HWND NextActiveCandidate(HWND except) const;
    CPoint WindowOriginInTop(HWND h) const;
    void InvalidateArea(HWND h, const cairo_region_t* rgnWindow, bool erase);

    std::unordered_map<HWND, std::unique_ptr<HWND__>> m_windows;
    std::vector<HWND> m_topLevels; // z-order, topmost first
    HWND m_desktop = nullptr;
    std::map<std::string, std::shared_ptr<WindowClass>> m_classes; // upper-case names
    std::map<std::string, UINT> m_registeredMessages;

    std::deque<MSG> m_posted;
    std::deque<RawInput> m_input;
    bool m_quit = false;
    int m_quitCode = 0;
    int m_sendDepth = 0;
    DWORD m_lastMsgTime = 0;
    POINT m_lastMsgPos{};

    std::vector<Timer> m_timers;
    ULONGLONG m_timerOrder = 0;
    UINT_PTR m_nextThreadTimer = 1;

    HWND m_focus = nullptr;
    HWND m_capture = nullptr;
    HWND m_trackLeave = nullptr; // told with WM_MOUSELEAVE when the pointer leaves it
    HWND m_active = nullptr;

    BYTE m_keys[256] = {};      // as of the message being handled
    BYTE m_asyncKeys[256] = {}; // as of now
    POINT m_cursorPos{};
    bool m_cursorKnown = false;
    HCURSOR m_cursor = nullptr;
    UINT m_dblClickTime = 500;
    // The last button press, for double clicks.
    HWND m_clickWnd = nullptr;
    UINT m_clickMsg = 0;
    DWORD m_clickTime = 0;
    POINT m_clickPt{};

    struct DCInfo {
        HWND hwnd;
        HWND top;
        CRect bounds; // in the top-level image
    };
    std::unordered_map<HDC, DCInfo> m_dcs;
    ULONGLONG m_beginPaints = 0;
    SurfacePtr m_screenSurface; // behind GetDC(NULL)
    Clock m_clock;
    std::unique_ptr<Backend> m_backend;
    CreateHook m_createHook = nullptr;
};

} // namespace kel::win
