// The test Robot: acts like a user through the same path as a real one (raw input into the
// window manager, hit testing, capture, focus, double clicks, keys), then runs the loop until
// idle. Points are in the client coordinates of the window given, or screen coordinates.
//
// Time does not move between actions: two clicks at one place on a window whose class has
// CS_DBLCLKS make a double click unless Wait() lets the double-click time pass in between.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/MessageLoop.h"

class CWnd;

class Robot {
public:
    enum Button { Left, Right, Middle };
    // Modifier keys held during an action.
    enum Modifiers { None = 0, Shift = 1, Ctrl = 2, Alt = 4 };

    Robot() = default;

    // Mouse, on a window's client area.
    void Click(CWnd* pWnd, CPoint pt, UINT modifiers = None);
    void Click(HWND hWnd, CPoint pt, UINT modifiers = None);
    void DoubleClick(CWnd* pWnd, CPoint pt, UINT modifiers = None);
    void RightClick(CWnd* pWnd, CPoint pt, UINT modifiers = None);
    void Press(CWnd* pWnd, CPoint pt, Button button = Left);
    void Move(CWnd* pWnd, CPoint pt);
    void Release(CWnd* pWnd, CPoint pt, Button button = Left);
    // Press at from, move there in steps, release at to.
    void Drag(CWnd* pWnd, CPoint from, CPoint to, int steps = 4);
    // Turns the wheel by delta (WHEEL_DELTA per notch; positive: away from the user).
    void Wheel(CWnd* pWnd, CPoint pt, int delta);
    // The same in screen coordinates.
    void ClickScreen(CPoint pt, Button button = Left, UINT modifiers = None);
    void PressScreen(CPoint pt, Button button = Left);
    void MoveScreen(CPoint pt);
    void ReleaseScreen(CPoint pt, Button button = Left);

    // Keyboard, to the window with the focus.
    void Key(UINT vk, UINT modifiers = None); // down and up
    void KeyDown(UINT vk);
    void KeyUp(UINT vk);
    // Types text (UTF-8) as a US keyboard would; characters without a key arrive as such.
    void Type(LPCTSTR text);

    // The loop.
    void Idle() { KelRunUntilIdle(); }
    void Wait(DWORD ms) { KelAdvanceTime(ms); }

private:
    static CPoint ToScreen(HWND hWnd, CPoint pt);
    void Mouse(UINT message, CPoint ptScreen, int wheel = 0);
    void ModifiersDown(UINT modifiers);
    void ModifiersUp(UINT modifiers);
};
