// The clock behind GetTickCount, message times and timers: real time in applications, a
// virtual clock in tests that moves only when told to (KelAdvanceTime), so that timers fire
// deterministically.
#pragma once

#include "platform/core/Types.h"

#include <chrono>

namespace kel::win {

class Clock {
public:
    enum Mode { Virtual, Real };

    Mode GetMode() const { return m_mode; }
    // Switching keeps the time running on from where it was.
    void SetMode(Mode mode);
    DWORD Now() const;
    // Virtual clock only: moves the time to t (never backwards).
    void SetVirtualTime(DWORD t);

private:
    using steady = std::chrono::steady_clock;
    Mode m_mode = Virtual;
    DWORD m_virtual = 0;
    steady::time_point m_realStart = steady::now();
    DWORD m_realBase = 0;
};

} // namespace kel::win
