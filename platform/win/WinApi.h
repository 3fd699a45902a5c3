// The window system's functions: windows, messages, the queue, timers, input state, focus,
// capture, painting, classes, cursors and accelerators. One window manager behind them owns
// every window record.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/Keys.h"
#include "platform/win/Messages.h"
#include "platform/win/WindowStyles.h"

// Windows and classes.
ATOM RegisterClass(const WNDCLASS* lpWndClass);
BOOL UnregisterClass(LPCTSTR lpClassName, HINSTANCE hInstance);
BOOL GetClassInfo(HINSTANCE hInstance, LPCTSTR lpClassName, LPWNDCLASS lpWndClass);
int GetClassName(HWND hWnd, LPTSTR lpClassName, int nMaxCount);
ULONG_PTR GetClassLongPtr(HWND hWnd, int nIndex);
HWND CreateWindowEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                    HINSTANCE hInstance, LPVOID lpParam);
inline HWND CreateWindow(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, int x, int y,
                         int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                         LPVOID lpParam) {
    return CreateWindowEx(0, lpClassName, lpWindowName, dwStyle, x, y, nWidth, nHeight, hWndParent,
                          hMenu, hInstance, lpParam);
}
BOOL DestroyWindow(HWND hWnd);
BOOL IsWindow(HWND hWnd);
LRESULT DefWindowProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
LONG_PTR GetWindowLongPtr(HWND hWnd, int nIndex);
LONG_PTR SetWindowLongPtr(HWND hWnd, int nIndex, LONG_PTR dwNewLong);
inline LONG GetWindowLong(HWND hWnd, int nIndex) {
    return static_cast<LONG>(GetWindowLongPtr(hWnd, nIndex));
}
inline LONG SetWindowLong(HWND hWnd, int nIndex, LONG dwNewLong) {
    return static_cast<LONG>(SetWindowLongPtr(hWnd, nIndex, dwNewLong));
}

// Relations.
HWND GetParent(HWND hWnd);
HWND SetParent(HWND hWndChild, HWND hWndNewParent);
HWND GetWindow(HWND hWnd, UINT uCmd);
HWND GetTopWindow(HWND hWnd);
HWND GetDesktopWindow();
HWND GetDlgItem(HWND hDlg, int nIDDlgItem);
int GetDlgCtrlID(HWND hWnd);
BOOL IsChild(HWND hWndParent, HWND hWnd);
HWND WindowFromPoint(POINT Point);
HWND ChildWindowFromPoint(HWND hWndParent, POINT Point);
typedef BOOL(CALLBACK* WNDENUMPROC)(HWND, LPARAM);
BOOL EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam);

// Geometry and state.
BOOL GetWindowRect(HWND hWnd, LPRECT lpRect);
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);
BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint);
BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint);
int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints);
BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint);
BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);
BOOL ShowWindow(HWND hWnd, int nCmdShow);
BOOL IsWindowVisible(HWND hWnd);
BOOL IsIconic(HWND hWnd);
BOOL IsZoomed(HWND hWnd);
BOOL EnableWindow(HWND hWnd, BOOL bEnable);
BOOL IsWindowEnabled(HWND hWnd);
BOOL SetWindowText(HWND hWnd, LPCTSTR lpString);
int GetWindowText(HWND hWnd, LPTSTR lpString, int nMaxCount);
int GetWindowTextLength(HWND hWnd);
HDWP BeginDeferWindowPos(int nNumWindows);
HDWP DeferWindowPos(HDWP hWinPosInfo, HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy,
                    UINT uFlags);
BOOL EndDeferWindowPos(HDWP hWinPosInfo);
BOOL AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle);

// Messages and the queue.
LRESULT SendMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int nExitCode);
BOOL GetMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax);
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
#define PM_NOYIELD 0x0002
BOOL PeekMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
BOOL TranslateMessage(const MSG* lpMsg);
LRESULT DispatchMessage(const MSG* lpMsg);
BOOL WaitMessage();
DWORD GetMessageTime();
DWORD GetMessagePos();
UINT RegisterWindowMessage(LPCTSTR lpString);
BOOL InSendMessage();

// Time and timers.
typedef void(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);
UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc);
BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent);
DWORD GetTickCount();
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT uInterval);
void Sleep(DWORD dwMilliseconds);

// Input state, focus, capture, activation.
SHORT GetKeyState(int nVirtKey);
SHORT GetAsyncKeyState(int vKey);
HWND SetFocus(HWND hWnd);
HWND GetFocus();
HWND SetCapture(HWND hWnd);
BOOL ReleaseCapture();
HWND GetCapture();

// Asks for WM_MOUSELEAVE when the pointer next leaves a window's client area (TME_LEAVE;
// with TME_CANCEL the request is withdrawn). Hover tracking is not offered.
#define TME_LEAVE 0x00000002
#define TME_QUERY 0x40000000
#define TME_CANCEL 0x80000000
struct TRACKMOUSEEVENT {
    DWORD cbSize;
    DWORD dwFlags;
    HWND hwndTrack;
    DWORD dwHoverTime;
};
typedef TRACKMOUSEEVENT* LPTRACKMOUSEEVENT;
BOOL TrackMouseEvent(LPTRACKMOUSEEVENT lpEventTrack);
#define _TrackMouseEvent TrackMouseEvent
HWND SetActiveWindow(HWND hWnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND hWnd);
HWND GetForegroundWindow();
BOOL GetCursorPos(LPPOINT lpPoint);
BOOL SetCursorPos(int X, int Y);

// Cursors and icons: the standard shapes by their IDs.
#define IDC_ARROW MAKEINTRESOURCE(32512)
#define IDC_IBEAM MAKEINTRESOURCE(32513)
#define IDC_WAIT MAKEINTRESOURCE(32514)
#define IDC_CROSS MAKEINTRESOURCE(32515)
#define IDC_UPARROW MAKEINTRESOURCE(32516)
#define IDC_SIZENWSE MAKEINTRESOURCE(32642)
#define IDC_SIZENESW MAKEINTRESOURCE(32643)
#define IDC_SIZEWE MAKEINTRESOURCE(32644)
#define IDC_SIZENS MAKEINTRESOURCE(32645)
#define IDC_SIZEALL MAKEINTRESOURCE(32646)
#define IDC_NO MAKEINTRESOURCE(32648)
#define IDC_HAND MAKEINTRESOURCE(32649)
#define IDC_APPSTARTING MAKEINTRESOURCE(32650)
#define IDC_HELP MAKEINTRESOURCE(32651)
#define IDI_APPLICATION MAKEINTRESOURCE(32512)
#define IDI_HAND MAKEINTRESOURCE(32513)
#define IDI_QUESTION MAKEINTRESOURCE(32514)
#define IDI_EXCLAMATION MAKEINTRESOURCE(32515)
#define IDI_ASTERISK MAKEINTRESOURCE(32516)
// A standard cursor (hInstance NULL, an IDC_ value) or a cursor resource of a module.
HCURSOR LoadCursor(HINSTANCE hInstance, LPCTSTR lpCursorName);
HICON LoadIcon(HINSTANCE hInstance, LPCTSTR lpIconName);
HCURSOR SetCursor(HCURSOR hCursor);
HCURSOR GetCursor();
// The IDC_ number of a standard cursor (0 for another one): what a backend shows.
UINT KelGetCursorShape(HCURSOR hCursor);

// Accelerators.
HACCEL LoadAccelerators(HINSTANCE hInstance, LPCTSTR lpTableName);
HACCEL CreateAcceleratorTable(LPACCEL paccel, int cAccel);
BOOL DestroyAcceleratorTable(HACCEL hAccel);
int CopyAcceleratorTable(HACCEL hAccelSrc, LPACCEL lpAccelDst, int cAccelEntries);
int TranslateAccelerator(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg);

// Painting.
BOOL InvalidateRect(HWND hWnd, LPCRECT lpRect, BOOL bErase);
BOOL ValidateRect(HWND hWnd, LPCRECT lpRect);
BOOL UpdateWindow(HWND hWnd);
BOOL RedrawWindow(HWND hWnd, LPCRECT lprcUpdate, HRGN hrgnUpdate, UINT flags);
BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase);
HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);
HDC GetDC(HWND hWnd);
HDC GetWindowDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
HWND WindowFromDC(HDC hDC);
BOOL ScrollWindow(HWND hWnd, int XAmount, int YAmount, LPCRECT lpRect, LPCRECT lpClipRect);

// Writes a PNG of a top-level window, or of a child window's area of its top-level image,
// after painting whatever is invalid in it. FALSE (nothing written) for a bad window or path.
BOOL SaveWindowImage(HWND hWnd, LPCTSTR lpszPath);
// The colour of a pixel of a window's client area, as painted; CLR_INVALID outside it.
COLORREF KelGetWindowPixel(HWND hWnd, POINT ptClient);
