// The system clipboard over the X CLIPBOARD selection: copying takes the selection, pasting
// asks its owner for the text. Part of the x11 backend.
#pragma once

#include "platform/win/Backend.h"

#include "platform/backends/x11/X11Handles.h"

#include <chrono>
#include <functional>
#include <string>

namespace kel::backends {

class X11Clipboard : public kel::win::SystemClipboard {
public:
    explicit X11Clipboard(Display* display);

    bool SetText(const std::string& text) override;
    bool GetText(std::string& text) override;
    bool HasText() override;
    void Empty() override;

    // Handles an event of the clipboard's own (a request for its text, the loss of the
    // selection); false when the event is not one.
    bool HandleEvent(const XEvent& e);

    // How long a paste waits for the owner, and for each piece of a long transfer.
    static constexpr int kTimeoutMs = 1000;
    // Larger texts are refused rather than cut.
    static constexpr size_t kMaxBytes = 16u << 20;

private:
    using Clock = std::chrono::steady_clock;

    void Answer(const XSelectionRequestEvent& request);
    bool Offer(Window requestor, Atom property, Atom target);
    // Waits until an event matching want arrives, answering the clipboard's own events
    // meanwhile and leaving every other event queued. False when the deadline passes.
    bool WaitFor(const std::function<bool(const XEvent&)>& want, XEvent& got,
                 Clock::time_point deadline);
    // Asks the owner for the text as target; false when it refuses or does not answer.
    bool Convert(Atom target, std::string& bytes, Atom& type, Clock::time_point deadline);
    bool ReadIncremental(std::string& bytes, Atom& type);
    Time ServerTime();

    Display* m_display;
    XWindowHandle m_window; // never shown: owns the selection and receives the transfers
    Atom m_clipboard, m_targets, m_utf8, m_text, m_incr, m_timestamp, m_property, m_stamp;
    bool m_owned = false;
    Time m_ownedSince = CurrentTime;
    std::string m_held; // what this program offers, in the system's LF form
};

} // namespace kel::backends
