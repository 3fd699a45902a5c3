#include "platform/win/Robot.h"

#include "platform/win/Backend.h"
#include "platform/win/WindowManager.h"
#include "platform/win/Wnd.h"

namespace {

UINT DownMessage(Robot::Button b) {
    return b == Robot::Right    ? WM_RBUTTONDOWN
           : b == Robot::Middle ? WM_MBUTTONDOWN
                                : WM_LBUTTONDOWN;
}

UINT UpMessage(Robot::Button b) {
    return b == Robot::Right ? WM_RBUTTONUP : b == Robot::Middle ? WM_MBUTTONUP : WM_LBUTTONUP;
}

// The next code point of UTF-8 text; a byte that starts no valid sequence stands for itself.
UINT NextCodePoint(const unsigned char*& p) {
    UINT c = *p++;
    int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (more == 0)
        return c;
    UINT cp = c & (0x3F >> more);
    const unsigned char* q = p;
    for (int i = 0; i < more; ++i, ++q) {
        if ((*q & 0xC0) != 0x80)
            return c;
        cp = (cp << 6) | (*q & 0x3F);
    }
    p = q;
    return cp;
}

} // namespace

CPoint Robot::ToScreen(HWND hWnd, CPoint pt) {
    ::ClientToScreen(hWnd, &pt);
    return pt;
}

void Robot::Mouse(UINT message, CPoint ptScreen, int wheel) {
    KelInputMouse(nullptr, message, ptScreen, wheel);
}

void Robot::ModifiersDown(UINT modifiers) {
    if (modifiers & Ctrl)
        KelInputKey(VK_CONTROL, TRUE);
    if (modifiers & Shift)
        KelInputKey(VK_SHIFT, TRUE);
    if (modifiers & Alt)
        KelInputKey(VK_MENU, TRUE);
}

void Robot::ModifiersUp(UINT modifiers) {
    if (modifiers & Alt)
        KelInputKey(VK_MENU, FALSE);
    if (modifiers & Shift)
        KelInputKey(VK_SHIFT, FALSE);
    if (modifiers & Ctrl)
        KelInputKey(VK_CONTROL, FALSE);
}

void Robot::ClickScreen(CPoint pt, Button button, UINT modifiers) {
    ModifiersDown(modifiers);
    Mouse(WM_MOUSEMOVE, pt);
    Mouse(DownMessage(button), pt);
    Mouse(UpMessage(button), pt);
    ModifiersUp(modifiers);
    Idle();
}

void Robot::Click(HWND hWnd, CPoint pt, UINT modifiers) {
    ClickScreen(ToScreen(hWnd, pt), Left, modifiers);
}

void Robot::Click(CWnd* pWnd, CPoint pt, UINT modifiers) {
    Click(pWnd->m_hWnd, pt, modifiers);
}

void Robot::DoubleClick(CWnd* pWnd, CPoint pt, UINT modifiers) {
    CPoint s = ToScreen(pWnd->m_hWnd, pt);
    ModifiersDown(modifiers);
    Mouse(WM_MOUSEMOVE, s);
    for (int i = 0; i < 2; ++i) {
        Mouse(WM_LBUTTONDOWN, s);
        Mouse(WM_LBUTTONUP, s);
    }
    ModifiersUp(modifiers);
    Idle();
}

void Robot::RightClick(CWnd* pWnd, CPoint pt, UINT modifiers) {
    ClickScreen(ToScreen(pWnd->m_hWnd, pt), Right, modifiers);
}

void Robot::PressScreen(CPoint pt, Button button) {
    Mouse(WM_MOUSEMOVE, pt);
    Mouse(DownMessage(button), pt);
    Idle();
}

void Robot::MoveScreen(CPoint pt) {
    Mouse(WM_MOUSEMOVE, pt);
    Idle();
}

void Robot::ReleaseScreen(CPoint pt, Button button) {
    Mouse(WM_MOUSEMOVE, pt);
    Mouse(UpMessage(button), pt);
    Idle();
}

void Robot::Press(CWnd* pWnd, CPoint pt, Button button) {
    PressScreen(ToScreen(pWnd->m_hWnd, pt), button);
}

void Robot::Move(CWnd* pWnd, CPoint pt) {
    MoveScreen(ToScreen(pWnd->m_hWnd, pt));
}

void Robot::Release(CWnd* pWnd, CPoint pt, Button button) {
    ReleaseScreen(ToScreen(pWnd->m_hWnd, pt), button);
}

void Robot::Drag(CWnd* pWnd, CPoint from, CPoint to, int steps) {
    // Screen points are taken once: the window may move while it is dragged.
    CPoint a = ToScreen(pWnd->m_hWnd, from);
    CPoint b = ToScreen(pWnd->m_hWnd, to);
    PressScreen(a);
    if (steps < 1)
        steps = 1;
    for (int i = 1; i <= steps; ++i)
        MoveScreen(CPoint(a.x + (b.x - a.x) * i / steps, a.y + (b.y - a.y) * i / steps));
    ReleaseScreen(b);
}

void Robot::Wheel(CWnd* pWnd, CPoint pt, int delta) {
    CPoint s = ToScreen(pWnd->m_hWnd, pt);
    Mouse(WM_MOUSEMOVE, s);
    Mouse(WM_MOUSEWHEEL, s, delta);
    Idle();
}

void Robot::KeyDown(UINT vk) {
    KelInputKey(vk, TRUE);
    Idle();
}

void Robot::KeyUp(UINT vk) {
    KelInputKey(vk, FALSE);
    Idle();
}

void Robot::Key(UINT vk, UINT modifiers) {
    ModifiersDown(modifiers);
    KelInputKey(vk, TRUE);
    KelInputKey(vk, FALSE);
    ModifiersUp(modifiers);
    Idle();
}

void Robot::Type(LPCTSTR text) {
    if (text == nullptr)
        return;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0) {
        UINT ch = NextCodePoint(p);
        UINT vk;
        bool shift;
        if (!kel::win::KeyForChar(ch, vk, shift)) {
            KelInputChar(ch);
        } else {
            if (shift)
                KelInputKey(VK_SHIFT, TRUE);
            KelInputKey(vk, TRUE);
            KelInputKey(vk, FALSE);
            if (shift)
                KelInputKey(VK_SHIFT, FALSE);
        }
        Idle();
    }
}
