// Inside the window layer: what CFrameWnd does for its control bars: dock bars on its sides,
// bars docked into them, shown and hidden, found by ID, and a layout put off until idle. Not
// a public header.
#pragma once

#include "platform/core/Types.h"

class CControlBar;
class CDockBar;
class CFrameWnd;

namespace kel::win {

void EnableDocking(CFrameWnd* pFrame, DWORD dwDockStyle);
// Into the dock bar nDockBarID (0: the first side both the bar and the frame allow).
BOOL DockControlBar(CFrameWnd* pFrame, CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect);
void ShowControlBar(CFrameWnd* pFrame, CControlBar* pBar, BOOL bShow, BOOL bDelay);
CControlBar* GetControlBar(CFrameWnd* pFrame, UINT nID);
// The frame lays itself out again at the next idle time.
void DelayRecalcLayout(CFrameWnd* pFrame);
// Runs a layout that was put off; TRUE when there was one.
BOOL RunDelayedLayout(CFrameWnd* pFrame);

} // namespace kel::win
