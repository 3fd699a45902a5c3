// The window manager: sending, posting, the queue and timers.
#include "platform/win/WindowManager.h"

#include <algorithm>

namespace kel::win {

LRESULT WindowManager::Send(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    HWND__* w = Rec(h);
    if (w == nullptr || w->wndProc == nullptr)
        return 0;
    struct Depth {
        int& n;
        explicit Depth(int& d) : n(d) { ++n; }
        ~Depth() { --n; }
    } depth(m_sendDepth);
    return w->wndProc(h, msg, wp, lp);
}

BOOL WindowManager::Post(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (h != nullptr && !IsLive(h))
        return FALSE;
    MSG m{h, msg, wp, lp, Now(), m_cursorPos, 0};
    m_posted.push_back(m);
    return TRUE;
}

void WindowManager::PostQuit(int code) {
    m_quit = true;
    m_quitCode = code;
}

UINT WindowManager::RegisterMessage(LPCTSTR name) {
    if (name == nullptr || *name == '\0')
        return 0;
    const std::string key(CString(name).MakeUpper());
    auto it = m_registeredMessages.find(key);
    if (it != m_registeredMessages.end())
        return it->second;
    UINT id = 0xC000 + static_cast<UINT>(m_registeredMessages.size());
    m_registeredMessages.emplace(key, id);
    return id;
}

namespace {

bool InRange(UINT msg, UINT minMsg, UINT maxMsg) {
    return (minMsg == 0 && maxMsg == 0) || (msg >= minMsg && msg <= maxMsg);
}

bool ForWindow(HWND target, HWND filter) {
    if (filter == nullptr)
        return true;
    if (filter == reinterpret_cast<HWND>(-1))
        return target == nullptr;
    return target == filter || ::IsChild(filter, target);
}

} // namespace

bool WindowManager::HasPending(bool includeTimers) const {
    if (!m_posted.empty() || !m_input.empty() || m_quit)
        return true;
    MSG m;
    if (NextPaint(m, nullptr))
        return true;
    if (includeTimers) {
        DWORD due;
        if (NextTimerDue(due) && static_cast<int32_t>(due - Now()) <= 0)
            return true;
    }
    return false;
}

BOOL WindowManager::Peek(MSG& msg, HWND filter, UINT minMsg, UINT maxMsg, bool remove) {
    // Posted messages first, in order.
    for (auto it = m_posted.begin(); it != m_posted.end(); ++it) {
        if (InRange(it->message, minMsg, maxMsg) && ForWindow(it->hwnd, filter)) {
            msg = *it;
            if (remove)
                m_posted.erase(it);
            m_lastMsgTime = msg.time;
            m_lastMsgPos = msg.pt;
            return TRUE;
        }
    }
    // Then the user's input, turned into messages as it is taken.
    const bool wantInput = InRange(WM_KEYDOWN, minMsg, maxMsg) ||
                           InRange(WM_MOUSEMOVE, minMsg, maxMsg) ||
                           InRange(WM_MOUSEWHEEL, minMsg, maxMsg);
    if (wantInput && !m_input.empty()) {
        if (!remove) {
            // Report that input waits without routing it yet.
            const RawInput& in = m_input.front();
            msg = MSG{nullptr, in.kind == RawInput::Mouse ? in.message : WM_KEYDOWN,
                      0,       0,
                      in.time, in.ptScreen,
                      0};
            return TRUE;
        }
        while (!m_input.empty()) {
            if (ConvertInput(msg) && ForWindow(msg.hwnd, filter)) {
                m_lastMsgTime = msg.time;
                m_lastMsgPos = msg.pt;
                return TRUE;
            }
        }
    }
    if (m_quit && filter == nullptr) {
        msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(m_quitCode), 0, Now(), m_cursorPos, 0};
        if (remove)
            m_quit = false;
        return TRUE;
    }
    if (InRange(WM_PAINT, minMsg, maxMsg) && NextPaint(msg, filter))
        return TRUE;
    if (InRange(WM_TIMER, minMsg, maxMsg) && NextTimer(msg, filter, remove)) {
        m_lastMsgTime = msg.time;
        return TRUE;
    }
    return FALSE;
}

BOOL WindowManager::Get(MSG& msg, HWND filter, UINT minMsg, UINT maxMsg) {
    for (;;) {
        if (Peek(msg, filter, minMsg, maxMsg, true))
            return msg.message != WM_QUIT;
        Backend& backend = GetBackend();
        DWORD due = 0;
        const bool timer = NextTimerDue(due);
        const int wait = timer ? std::max(0, static_cast<int32_t>(due - Now())) : -1;
        if (m_clock.GetMode() == Clock::Real) {
            if (!backend.Wait(wait) && !timer)
                break;
        } else {
            // Virtual time: waiting for a timer means moving the clock to it.
            backend.Wait(0);
            if (!m_input.empty() || !m_posted.empty())
                continue;
            if (!timer)
                break;
            m_clock.SetVirtualTime(due);
        }
    }
    // Nothing can ever arrive: no display, no timer, an empty queue.
    msg = MSG{nullptr, WM_NULL, 0, 0, Now(), m_cursorPos, 1};
    return TRUE;
}

// ---------------------------------------------------------------------------
// Timers: WM_TIMER is made when the queue is otherwise empty, one per due timer, and the
// timer starts its next interval when its message is taken.

UINT_PTR WindowManager::SetTimer(HWND h, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    if (h != nullptr && !IsLive(h))
        return 0;
    elapse = std::clamp<UINT>(elapse, 10, 0x7FFFFFFF);
    if (h == nullptr) {
        auto known = std::find_if(m_timers.begin(), m_timers.end(),
                                  [&](const Timer& t) { return t.hwnd == nullptr && t.id == id; });
        if (id == 0 || known == m_timers.end())
            id = m_nextThreadTimer++;
    }
    for (Timer& t : m_timers) {
        if (t.hwnd == h && t.id == id) {
            t.elapse = elapse;
            t.due = Now() + elapse;
            t.proc = proc;
            t.order = m_timerOrder++;
            return id ? id : 1;
        }
    }
    m_timers.push_back(Timer{h, id, elapse, Now() + elapse, proc, m_timerOrder++});
    return id ? id : 1;
}

BOOL WindowManager::KillTimer(HWND h, UINT_PTR id) {
    auto it = std::find_if(m_timers.begin(), m_timers.end(),
                           [&](const Timer& t) { return t.hwnd == h && t.id == id; });
    if (it == m_timers.end())
        return FALSE;
    m_timers.erase(it);
    return TRUE;
}

bool WindowManager::NextTimerDue(DWORD& due) const {
    bool any = false;
    const DWORD now = Now();
    for (const Timer& t : m_timers) {
        if (!any || static_cast<int32_t>(t.due - now) < static_cast<int32_t>(due - now)) {
            due = t.due;
            any = true;
        }
    }
    return any;
}

bool WindowManager::NextTimer(MSG& msg, HWND filter, bool remove) {
    const DWORD now = Now();
    Timer* best = nullptr;
    for (Timer& t : m_timers) {
        if (static_cast<int32_t>(t.due - now) > 0 || !ForWindow(t.hwnd, filter))
            continue;
        if (best == nullptr || static_cast<int32_t>(t.due - best->due) < 0 ||
            (t.due == best->due && t.order < best->order))
            best = &t;
    }
    if (best == nullptr)
        return false;
    msg = MSG{best->hwnd, WM_TIMER,    best->id, reinterpret_cast<LPARAM>(best->proc),
              now,        m_cursorPos, 0};
    if (remove) {
        best->due = now + best->elapse;
        best->order = m_timerOrder++;
    }
    return true;
}

} // namespace kel::win
