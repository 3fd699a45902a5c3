// The window manager's view of the screen: a backend shows top-level windows (or not) and
// feeds the user's input back as raw events. The headless backend (tests, snapshots) shows
// nothing; the x11 backend opens a real window per top-level window. Nothing above the
// backends knows which one runs.
#pragma once

#include "platform/core/Types.h"

#include <cairo.h>

#include <memory>
#include <string>

namespace kel::win {

// The clipboard shared with other programs, where the backend reaches one. Text is UTF-8 with
// the framework's CR LF line breaks; a backend converts to and from what its system uses.
class SystemClipboard {
public:
    virtual ~SystemClipboard() = default;
    // Takes the clipboard with the text; false when the system did not give it.
    virtual bool SetText(const std::string& text) = 0;
    // The clipboard's text: this program's own when it holds the clipboard, else what the
    // holder gives within a bounded time. False when there is none or none came in time.
    virtual bool GetText(std::string& text) = 0;
    // Whether some program holds the clipboard; asks no holder for its data.
    virtual bool HasText() = 0;
    // Gives the clipboard up when this program holds it.
    virtual void Empty() = 0;
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual const char* Name() const = 0;
    // A user sees the windows: message boxes become real dialog windows.
    virtual bool IsInteractive() const = 0;
    // Time runs by itself (real clock) rather than when a test moves it.
    virtual bool UsesRealTime() const = 0;
    // The screen's size and resolution, read once when the backend starts.
    virtual SIZE ScreenSize() const { return SIZE{1280, 1024}; }
    virtual int Dpi() const { return 96; }

    // Top-level windows: rectangles in screen coordinates, the whole window.
    virtual void WindowCreated(HWND, const RECT&, LPCTSTR) {}
    virtual void WindowDestroyed(HWND) {}
    virtual void WindowShown(HWND, bool) {}
    virtual void WindowMoved(HWND, const RECT&) {}
    virtual void WindowTextChanged(HWND, LPCTSTR) {}
    virtual void WindowActivated(HWND) {}
    // The window's image changed in dirty (window coordinates).
    virtual void Present(HWND, cairo_surface_t*, const RECT&) {}
    // The image's pixels moved by (dx, dy) into dest (window coordinates), and what the window
    // showed of them before is all presented: the window may move its own pixels likewise
    // rather than be shown dest again. False when it does not; the caller presents dest.
    virtual bool Scroll(HWND, cairo_surface_t*, const RECT& /*dest*/, int /*dx*/, int /*dy*/) {
        return false;
    }
    virtual void CursorChanged(UINT) {} // the IDC_ number of the shape, 0 for a custom one
    virtual void Beep(UINT) {}
    // The system clipboard; NULL when the backend has none (the process keeps its own).
    virtual SystemClipboard* Clipboard() { return nullptr; }

    // Queues the native events that have arrived, waiting at most timeoutMs for the first
    // (-1: no limit). False when no event can ever come.
    virtual bool Wait(int timeoutMs) = 0;
};

using BackendFactory = std::unique_ptr<Backend> (*)();

} // namespace kel::win

// Backends and the Robot deliver the user's input here. Mouse points are in the top-level
// window's client coordinates (NULL window: screen coordinates).
void KelInputMouse(HWND hwndTop, UINT message, POINT pt, int wheelDelta = 0);
// A key going down or up; ch is the character it types (0: derived from the key and the
// shift state, as a US keyboard does).
void KelInputKey(UINT vk, BOOL bDown, UINT ch = 0);
// A character typed without a key of its own.
void KelInputChar(UINT ch);
// The user activated, moved or sized, exposed, or asked to close a top-level window.
void KelInputActivate(HWND hwndTop, BOOL bActive);
void KelInputMoveSize(HWND hwndTop, const RECT& rcScreen);
void KelInputExpose(HWND hwndTop, const RECT& rcWindow);
void KelInputClose(HWND hwndTop);

// Backends register by name; "x11" is chosen when real windows are asked for
// (KelRequestRealWindows or KELRS_REAL_WINDOWS=1) and DISPLAY is set, else "headless".
void KelRegisterBackend(const char* name, kel::win::BackendFactory factory);
void KelRequestRealWindows(BOOL bReal);
BOOL KelRealWindowsRequested();
// Installs a backend now (before the first window), replacing the choice above.
void KelSetBackend(std::unique_ptr<kel::win::Backend> backend);
// The running backend's system clipboard, NULL when it has none.
kel::win::SystemClipboard* KelGetSystemClipboard();
// The running backend's name ("headless", "x11"), choosing it if none runs yet.
const char* KelGetBackendName();
