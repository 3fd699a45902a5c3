#include "platform/win/ModalDriver.h"

#include "platform/win/Wnd.h"

#include <cstdio>
#include <deque>

namespace {

struct Driver {
    KelModalHandler persistent;
    std::deque<KelModalHandler> queued;
    int loops = 0;
};

Driver& State() {
    static Driver driver;
    return driver;
}

} // namespace

void KelSetModalDriver(KelModalHandler handler) {
    State().persistent = std::move(handler);
}

void KelQueueModalAction(KelModalHandler handler) {
    if (handler)
        State().queued.push_back(std::move(handler));
}

void KelClearModalDriver() {
    State().persistent = nullptr;
    State().queued.clear();
    State().loops = 0;
}

int KelGetModalLoopCount() {
    return State().loops;
}

void KelRunModalDriver(CWnd* pModal) {
    Driver& d = State();
    ++d.loops;
    if (!d.queued.empty()) {
        KelModalHandler action = std::move(d.queued.front());
        d.queued.pop_front();
        action(pModal);
    } else if (d.persistent) {
        KelModalHandler driver = d.persistent; // the driver may replace itself
        driver(pModal);
    }
}

void KelReportStalledModalLoop(CWnd* pModal) {
    CString title;
    if (pModal != nullptr && pModal->m_hWnd != nullptr)
        pModal->GetWindowText(title);
    std::fprintf(stderr,
                 "modal loop of window \"%s\" waits for input that cannot come; it ends with -1 "
                 "(no modal driver ended it)\n",
                 static_cast<LPCTSTR>(title));
}
