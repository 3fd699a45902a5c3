// The modal driver of tests: what a user does when a modal dialog, a popup menu or a
// message box window is up. The modal loop calls it once, after the window is shown and
// painted; it acts through the Robot or on the window (set a selection, press OK, pick a
// command). Without a driver, a headless modal loop that waits for input that cannot come
// ends with -1 and says so on stderr, rather than hanging the test.
#pragma once

#include "platform/core/Types.h"

#include <functional>

class CWnd;

using KelModalHandler = std::function<void(CWnd* pModal)>;

// The driver of every modal loop from now on (an empty function: none).
void KelSetModalDriver(KelModalHandler handler);
// A one-time action for the next modal loop; queued actions come before the driver.
void KelQueueModalAction(KelModalHandler handler);
// Forgets the driver and the queued actions.
void KelClearModalDriver();
// How many modal loops came up since the last clear.
int KelGetModalLoopCount();

// For modal loops: run the driver for this loop; report a loop that cannot end.
void KelRunModalDriver(CWnd* pModal);
void KelReportStalledModalLoop(CWnd* pModal);
