// The headless backend: windows exist and paint into their images, nothing reaches a screen,
// and time is virtual. The default in tests and wherever there is no display.
#pragma once

#include "platform/win/Backend.h"

namespace kel::backends {

class HeadlessBackend : public kel::win::Backend {
public:
    const char* Name() const override { return "headless"; }
    bool IsInteractive() const override { return false; }
    bool UsesRealTime() const override { return false; }
    // No user, no events: waiting never brings anything.
    bool Wait(int) override { return false; }
};

std::unique_ptr<kel::win::Backend> CreateHeadlessBackend();

} // namespace kel::backends
