// Running the loop from tests: drain everything that is due, move the virtual clock, and put
// the window system back to a clean state between tests.
#pragma once

#include "platform/core/Types.h"

// Pumps every message (posted, input, paint, due timers) and runs idle processing until
// nothing is left. Time does not move. FALSE when WM_QUIT came.
BOOL KelRunUntilIdle();
// Moves the virtual clock forward by ms, stopping at each timer that comes due so that it
// fires at its time (as WM_TIMER, through the loop), and runs until idle at each stop.
void KelAdvanceTime(DWORD ms);
// Runs the loop for ms: on the virtual clock as KelAdvanceTime; on a display, real time in
// which the user's input (or another program's) arrives and is handled.
void KelRunFor(DWORD ms);
// Destroys every window and forgets queued messages, input, timers, focus, capture, the
// message boxes and beeps recorded, the modal driver and the wait-cursor counts.
void KelResetWindowSystem();
