#include "companions/other/Pause.h"

// Nothing to wait for on this platform: the call returns at once and changes nothing.
void pause(int /*n*/) {}
