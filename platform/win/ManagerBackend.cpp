// The window manager: choosing the backend, and the raw input it delivers.
#include "platform/win/WindowManager.h"

#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/gdi/SystemMetrics.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace {

std::map<std::string, kel::win::BackendFactory>& Factories() {
    static std::map<std::string, kel::win::BackendFactory> factories;
    return factories;
}

bool g_realWindows = false;

bool RealWindowsFromEnvironment() {
    const char* v = std::getenv("KELRS_REAL_WINDOWS");
    return v != nullptr && *v != '\0' && std::strcmp(v, "0") != 0;
}

} // namespace

namespace kel::win {

Backend& WindowManager::GetBackend() {
    if (!m_backend) {
        std::unique_ptr<Backend> chosen;
        const char* display = std::getenv("DISPLAY");
        if (KelRealWindowsRequested() && display != nullptr && *display) {
            auto it = Factories().find("x11");
            if (it != Factories().end())
                chosen = it->second();
        }
        if (!chosen)
            chosen = kel::backends::CreateHeadlessBackend();
        SetBackend(std::move(chosen));
    }
    return *m_backend;
}

void WindowManager::SetBackend(std::unique_ptr<Backend> backend) {
    m_backend = std::move(backend);
    m_clock.SetMode(m_backend->UsesRealTime() ? Clock::Real : Clock::Virtual);
    const SIZE screen = m_backend->ScreenSize();
    Rec(m_desktop)->rect = CRect(0, 0, screen.cx, screen.cy);
    KelSetScreenSize(screen.cx, screen.cy);
    KelSetScreenDpi(m_backend->Dpi());
    // Windows made before the backend came get their native windows now.
    for (auto it = m_topLevels.rbegin(); it != m_topLevels.rend(); ++it) {
        HWND__* w = Rec(*it);
        m_backend->WindowCreated(*it, w->rect, w->text);
        w->nativeCreated = true;
        if (w->style & WS_VISIBLE)
            m_backend->WindowShown(*it, true);
    }
    PresentAll();
}

} // namespace kel::win

using kel::win::RawInput;
using kel::win::WindowManager;

void KelRegisterBackend(const char* name, kel::win::BackendFactory factory) {
    if (name != nullptr && factory != nullptr)
        Factories()[name] = factory;
}

void KelRequestRealWindows(BOOL bReal) {
    g_realWindows = bReal != FALSE;
}
BOOL KelRealWindowsRequested() {
    return g_realWindows || RealWindowsFromEnvironment();
}

void KelSetBackend(std::unique_ptr<kel::win::Backend> backend) {
    if (backend)
        WindowManager::Get().SetBackend(std::move(backend));
}

const char* KelGetBackendName() {
    return WindowManager::Get().GetBackend().Name();
}

kel::win::SystemClipboard* KelGetSystemClipboard() {
    return WindowManager::Get().GetBackend().Clipboard();
}

void KelInputMouse(HWND hwndTop, UINT message, POINT pt, int wheelDelta) {
    WindowManager& m = WindowManager::Get();
    if (hwndTop != nullptr) {
        if (!m.IsLive(hwndTop))
            return;
        pt = CPoint(pt) + m.ClientOriginScreen(hwndTop);
    }
    RawInput in;
    in.kind = RawInput::Mouse;
    in.message = message;
    in.ptScreen = pt;
    in.wheelDelta = wheelDelta;
    m.QueueInput(in);
}

void KelInputKey(UINT vk, BOOL bDown, UINT ch) {
    RawInput in;
    in.kind = RawInput::Key;
    in.vk = vk & 0xFF;
    in.down = bDown;
    in.ch = ch;
    WindowManager::Get().QueueInput(in);
}

void KelInputChar(UINT ch) {
    if (ch == 0)
        return;
    KelInputKey(VK_PACKET, TRUE, ch);
    KelInputKey(VK_PACKET, FALSE, ch);
}

void KelInputActivate(HWND hwndTop, BOOL bActive) {
    WindowManager& m = WindowManager::Get();
    if (!m.IsLive(hwndTop))
        return;
    if (bActive) {
        // The screen's focus on a disabled owner (a late focus event from before its modal
        // dialog opened, or a click on it) goes to the dialog, which stays above it.
        HWND target = m.ActivationTarget(hwndTop);
        if (target != nullptr && target != hwndTop && m.Active() == target &&
            m.Rec(target)->nativeCreated)
            m.GetBackend().WindowActivated(target); // takes the screen's focus back
        else if (target != nullptr)
            m.SetActive(target, WA_ACTIVE);
    } else if (m.Active() == hwndTop)
        m.SetActive(nullptr, WA_INACTIVE);
}

void KelInputMoveSize(HWND hwndTop, const RECT& rc) {
    WindowManager& m = WindowManager::Get();
    HWND__* w = m.Rec(hwndTop);
    if (w == nullptr || CRect(rc) == w->rect)
        return;
    m.SetWindowPos(hwndTop, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void KelInputExpose(HWND hwndTop, const RECT& rc) {
    WindowManager& m = WindowManager::Get();
    if (m.IsLive(hwndTop))
        m.Present(hwndTop, CRect(rc));
}

void KelInputClose(HWND hwndTop) {
    WindowManager& m = WindowManager::Get();
    // A disabled window (the owner of a modal dialog) cannot be closed under the dialog.
    if (m.IsLive(hwndTop) && !(m.Rec(hwndTop)->style & WS_DISABLED))
        m.Post(hwndTop, WM_SYSCOMMAND, SC_CLOSE, 0);
}
