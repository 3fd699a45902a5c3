// The system metrics table of the classic look.
#include "platform/gdi/SystemMetrics.h"

#include <array>

namespace {

constexpr int kMetrics = SM_CYFOCUSBORDER + 1;

// The metrics that follow from the screen size.
constexpr void Derive(std::array<int, kMetrics>& m) {
    int cx = m[SM_CXSCREEN], cy = m[SM_CYSCREEN];
    m[SM_CXFULLSCREEN] = cx;
    m[SM_CYFULLSCREEN] = cy - m[SM_CYCAPTION];
    m[SM_CXMAXIMIZED] = cx + 2 * m[SM_CXFRAME];
    m[SM_CYMAXIMIZED] = cy + 2 * m[SM_CYFRAME];
    m[SM_CXVIRTUALSCREEN] = cx;
    m[SM_CYVIRTUALSCREEN] = cy;
}

constexpr std::array<int, kMetrics> Classic() {
    std::array<int, kMetrics> m{};
    m[SM_CXSCREEN] = 1280;
    m[SM_CYSCREEN] = 1024;
    m[SM_CXVSCROLL] = m[SM_CYHSCROLL] = 16;
    m[SM_CYVSCROLL] = m[SM_CXHSCROLL] = 16;
    m[SM_CYVTHUMB] = m[SM_CXHTHUMB] = 16;
    m[SM_CYCAPTION] = 18;
    m[SM_CXBORDER] = m[SM_CYBORDER] = 1;
    m[SM_CXDLGFRAME] = m[SM_CYDLGFRAME] = 3;
    m[SM_CXFRAME] = m[SM_CYFRAME] = 4;
    m[SM_CXICON] = m[SM_CYICON] = 32;
    m[SM_CXCURSOR] = m[SM_CYCURSOR] = 32;
    m[SM_CYMENU] = 18;
    m[SM_MOUSEPRESENT] = 1;
    m[SM_SWAPBUTTON] = 0;
    m[SM_CXMIN] = 112;
    m[SM_CYMIN] = 27;
    m[SM_CXSIZE] = m[SM_CYSIZE] = 18;
    m[SM_CXMINTRACK] = 112;
    m[SM_CYMINTRACK] = 27;
    m[SM_CXDOUBLECLK] = m[SM_CYDOUBLECLK] = 4;
    m[SM_CXICONSPACING] = m[SM_CYICONSPACING] = 75;
    m[SM_MENUDROPALIGNMENT] = 0;
    m[SM_CMOUSEBUTTONS] = 3;
    m[SM_CXEDGE] = m[SM_CYEDGE] = 2;
    m[SM_CXSMICON] = m[SM_CYSMICON] = 16;
    m[SM_CYSMCAPTION] = 15;
    m[SM_CXSMSIZE] = 12;
    m[SM_CYSMSIZE] = 14;
    m[SM_CXMENUSIZE] = m[SM_CYMENUSIZE] = 18;
    m[SM_CXDRAG] = m[SM_CYDRAG] = 4;
    m[SM_CXMENUCHECK] = m[SM_CYMENUCHECK] = 13;
    m[SM_MOUSEWHEELPRESENT] = 1;
    m[SM_CMONITORS] = 1;
    m[SM_CXFOCUSBORDER] = m[SM_CYFOCUSBORDER] = 1;
    Derive(m);
    return m;
}

constinit std::array<int, kMetrics> g_metrics = Classic();

bool Known(int i) {
    return i >= 0 && i < kMetrics;
}

} // namespace

int GetSystemMetrics(int nIndex) {
    return Known(nIndex) ? g_metrics[nIndex] : 0;
}

BOOL KelSetSystemMetric(int nIndex, int nValue) {
    if (!Known(nIndex))
        return FALSE;
    g_metrics[nIndex] = nValue;
    if (nIndex == SM_CXSCREEN || nIndex == SM_CYSCREEN)
        Derive(g_metrics);
    return TRUE;
}

void KelSetScreenSize(int cx, int cy) {
    if (cx <= 0 || cy <= 0)
        return;
    g_metrics[SM_CXSCREEN] = cx;
    g_metrics[SM_CYSCREEN] = cy;
    Derive(g_metrics);
}

void KelResetSystemMetrics() {
    g_metrics = Classic();
}
