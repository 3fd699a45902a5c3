#include "platform/win/Clock.h"

namespace kel::win {

void Clock::SetMode(Mode mode) {
    if (mode == m_mode)
        return;
    DWORD now = Now();
    m_mode = mode;
    if (mode == Real) {
        m_realStart = steady::now();
        m_realBase = now;
    } else {
        m_virtual = now;
    }
}

DWORD Clock::Now() const {
    if (m_mode == Virtual)
        return m_virtual;
    auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(steady::now() - m_realStart);
    return m_realBase + static_cast<DWORD>(elapsed.count());
}

void Clock::SetVirtualTime(DWORD t) {
    if (m_mode == Virtual && static_cast<int32_t>(t - m_virtual) > 0)
        m_virtual = t;
}

} // namespace kel::win
