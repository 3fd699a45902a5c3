// The CLIPBOARD selection: this program owns it from a copy until another program takes it,
// answers requests for its text (UTF8_STRING, STRING, TEXT, TARGETS, TIMESTAMP), and asks
// the owner for the text on a paste, waiting a bounded time.
#include "platform/backends/x11/X11Clipboard.h"

#include <X11/Xatom.h>

#include <poll.h>

#include <algorithm>
#include <climits>
#include <vector>

namespace kel::backends {

namespace {

// The framework's text breaks lines with CR LF, X text with LF.
std::string ToSystemBreaks(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')
            continue;
        out += s[i];
    }
    return out;
}

std::string FromSystemBreaks(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r'))
            out += '\r';
        out += s[i];
    }
    return out;
}

// UTF-8 as it came from another program, made safe: malformed bytes become U+FFFD, NULs go.
std::string ValidUtf8(const std::string& s) {
    static const char kReplacement[] = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(s.size());
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = s.size();
    for (size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        size_t len = 0;
        uint32_t cp = 0;
        if (c < 0x80) {
            if (c != 0)
                out += static_cast<char>(c);
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        }
        bool ok = len != 0 && i + len <= n;
        for (size_t k = 1; ok && k < len; ++k) {
            ok = (p[i + k] & 0xC0) == 0x80;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not characters.
        if (ok)
            ok = !(len == 3 && cp < 0x800) && !(len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) &&
                 !(cp >= 0xD800 && cp <= 0xDFFF);
        if (ok) {
            out.append(s, i, len);
            i += len;
        } else {
            out += kReplacement;
            ++i;
        }
    }
    return out;
}

std::string Latin1ToUtf8(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (unsigned char c : s) {
        if (c == 0)
            continue;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// STRING is Latin-1: characters beyond it become '?'. exact says whether none did.
std::string Utf8ToLatin1(const std::string& s, bool* exact) {
    std::string out;
    out.reserve(s.size());
    bool all = true;
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < s.size()) {
            out += static_cast<char>(((c & 0x03) << 6) | (p[i + 1] & 0x3F));
            i += 2;
        } else {
            out += '?';
            all = false;
            ++i;
            while (i < s.size() && (p[i] & 0xC0) == 0x80)
                ++i;
        }
    }
    if (exact != nullptr)
        *exact = all;
    return out;
}

struct Matcher {
    const std::function<bool(const XEvent&)>* want;
    Window window;
};

Bool MatchEvent(Display*, XEvent* e, XPointer arg) {
    const auto* m = reinterpret_cast<const Matcher*>(arg);
    if ((*m->want)(*e))
        return True;
    return (e->type == SelectionRequest && e->xselectionrequest.owner == m->window) ||
           (e->type == SelectionClear && e->xselectionclear.window == m->window);
}

} // namespace

X11Clipboard::X11Clipboard(Display* display) : m_display(display) {
    Window root = DefaultRootWindow(display);
    XSetWindowAttributes attrs{};
    attrs.event_mask = PropertyChangeMask;
    m_window = XWindowHandle(display, XCreateWindow(display, root, -10, -10, 1, 1, 0, 0, InputOnly,
                                                    CopyFromParent, CWEventMask, &attrs));
    m_clipboard = XInternAtom(display, "CLIPBOARD", False);
    m_targets = XInternAtom(display, "TARGETS", False);
    m_utf8 = XInternAtom(display, "UTF8_STRING", False);
    m_text = XInternAtom(display, "TEXT", False);
    m_incr = XInternAtom(display, "INCR", False);
    m_timestamp = XInternAtom(display, "TIMESTAMP", False);
    m_property = XInternAtom(display, "KELRS_CLIPBOARD", False);
    m_stamp = XInternAtom(display, "KELRS_TIMESTAMP", False);
}

Time X11Clipboard::ServerTime() {
    // A property change on the clipboard's window comes back stamped with the server's time.
    XChangeProperty(m_display, m_window.Get(), m_stamp, XA_STRING, 8, PropModeAppend, nullptr, 0);
    const Window w = m_window.Get();
    const Atom stamp = m_stamp;
    XEvent e;
    if (WaitFor(
            [w, stamp](const XEvent& ev) {
                return ev.type == PropertyNotify && ev.xproperty.window == w &&
                       ev.xproperty.atom == stamp;
            },
            e, Clock::now() + std::chrono::milliseconds(kTimeoutMs)))
        return e.xproperty.time;
    return CurrentTime;
}

bool X11Clipboard::SetText(const std::string& text) {
    const Time t = ServerTime();
    XSetSelectionOwner(m_display, m_clipboard, m_window.Get(), t);
    m_owned = XGetSelectionOwner(m_display, m_clipboard) == m_window.Get();
    if (!m_owned) {
        m_held.clear();
        return false;
    }
    m_ownedSince = t;
    m_held = text;
    return true;
}

bool X11Clipboard::HasText() {
    if (m_owned)
        return true;
    return XGetSelectionOwner(m_display, m_clipboard) != None;
}

void X11Clipboard::Empty() {
    if (m_owned)
        XSetSelectionOwner(m_display, m_clipboard, None, m_ownedSince);
    m_owned = false;
    m_held.clear();
    XSync(m_display, False); // empty for everyone once this returns
}

bool X11Clipboard::GetText(std::string& text) {
    text.clear();
    const Window owner = XGetSelectionOwner(m_display, m_clipboard);
    if (owner == None) {
        m_owned = false;
        return false;
    }
    if (owner == m_window.Get() && m_owned) {
        text = m_held;
        return true;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kTimeoutMs);
    std::string bytes;
    Atom type = None;
    bool got = Convert(m_utf8, bytes, type, deadline);
    // Older programs offer only Latin-1.
    if (!got && Clock::now() < deadline)
        got = Convert(XA_STRING, bytes, type, deadline);
    if (!got)
        return false;
    text = FromSystemBreaks(type == m_utf8 ? ValidUtf8(bytes) : Latin1ToUtf8(bytes));
    return true;
}

bool X11Clipboard::Convert(Atom target, std::string& bytes, Atom& type,
                           Clock::time_point deadline) {
    const Window w = m_window.Get();
    XDeleteProperty(m_display, w, m_property);
    XConvertSelection(m_display, m_clipboard, target, m_property, w, CurrentTime);
    const Atom clipboard = m_clipboard;
    XEvent e;
    if (!WaitFor(
            [w, clipboard, target](const XEvent& ev) {
                return ev.type == SelectionNotify && ev.xselection.requestor == w &&
                       ev.xselection.selection == clipboard && ev.xselection.target == target;
            },
            e, deadline))
        return false; // an answer coming later is dropped unread
    if (e.xselection.property == None)
        return false;

    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* raw = nullptr;
    const int rc = XGetWindowProperty(m_display, w, m_property, 0, (kMaxBytes + 3) / 4, True,
                                      AnyPropertyType, &actual, &format, &count, &after, &raw);
    XMemory<unsigned char> data(raw);
    if (rc != Success || actual == None)
        return false;
    if (actual == m_incr)
        return ReadIncremental(bytes, type);
    if (format != 8 || after != 0) {
        XDeleteProperty(m_display, w, m_property);
        return false; // not text, or more than a paste takes
    }
    bytes.assign(reinterpret_cast<const char*>(data.get()), count);
    type = actual;
    return true;
}

// A long text comes in pieces: each piece is a new value of the property, read and deleted
// in turn, until an empty one. A holder that stops sending ends the paste with nothing.
bool X11Clipboard::ReadIncremental(std::string& bytes, Atom& type) {
    const Window w = m_window.Get();
    const Atom property = m_property;
    bytes.clear();
    type = None;
    for (;;) {
        XEvent e;
        if (!WaitFor(
                [w, property](const XEvent& ev) {
                    return ev.type == PropertyNotify && ev.xproperty.window == w &&
                           ev.xproperty.atom == property && ev.xproperty.state == PropertyNewValue;
                },
                e, Clock::now() + std::chrono::milliseconds(kTimeoutMs)))
            return false;
        Atom actual = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* raw = nullptr;
        const size_t room = kMaxBytes - bytes.size();
        const int rc =
            XGetWindowProperty(m_display, w, property, 0, static_cast<long>((room + 3) / 4), True,
                               AnyPropertyType, &actual, &format, &count, &after, &raw);
        XMemory<unsigned char> data(raw);
        if (rc != Success)
            return false;
        if (actual == None)
            continue; // the news of a value already read
        if (format != 8 || after != 0 || count > room) {
            XDeleteProperty(m_display, w, property);
            return false;
        }
        if (count == 0)
            return true; // the empty piece ends the text
        type = actual;
        bytes.append(reinterpret_cast<const char*>(data.get()), count);
    }
}

bool X11Clipboard::WaitFor(const std::function<bool(const XEvent&)>& want, XEvent& got,
                           Clock::time_point deadline) {
    Matcher matcher{&want, m_window.Get()};
    for (;;) {
        XFlush(m_display);
        XEvent e;
        while (XCheckIfEvent(m_display, &e, &MatchEvent, reinterpret_cast<XPointer>(&matcher))) {
            if (want(e)) {
                got = e;
                return true;
            }
            HandleEvent(e); // another program of ours may be waiting on us meanwhile
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd pfd{ConnectionNumber(m_display), POLLIN, 0};
        const int rc = poll(&pfd, 1, static_cast<int>(std::min<long long>(left, INT_MAX)));
        if (rc > 0 && (pfd.revents & (POLLERR | POLLHUP)))
            return false;
        if (rc > 0)
            XEventsQueued(m_display, QueuedAfterReading);
    }
}

bool X11Clipboard::HandleEvent(const XEvent& e) {
    if (e.type == SelectionRequest && e.xselectionrequest.owner == m_window.Get()) {
        Answer(e.xselectionrequest);
        return true;
    }
    if (e.type == SelectionClear && e.xselectionclear.window == m_window.Get()) {
        // A clear older than the current ownership is about an earlier one.
        if (e.xselectionclear.selection == m_clipboard &&
            (m_ownedSince == CurrentTime || e.xselectionclear.time >= m_ownedSince)) {
            m_owned = false;
            m_held.clear();
        }
        return true;
    }
    return e.xany.window == m_window.Get();
}

void X11Clipboard::Answer(const XSelectionRequestEvent& r) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = m_display;
    reply.xselection.requestor = r.requestor;
    reply.xselection.selection = r.selection;
    reply.xselection.target = r.target;
    reply.xselection.time = r.time;
    reply.xselection.property = None;
    // Requests from before this program took the selection are not its to answer.
    const bool current =
        r.time == CurrentTime || m_ownedSince == CurrentTime || r.time >= m_ownedSince;
    // Obsolete requestors name no property: the target is the property.
    const Atom property = r.property != None ? r.property : r.target;
    if (m_owned && r.selection == m_clipboard && current && Offer(r.requestor, property, r.target))
        reply.xselection.property = property;
    XSendEvent(m_display, r.requestor, False, NoEventMask, &reply);
    XFlush(m_display);
}

bool X11Clipboard::Offer(Window requestor, Atom property, Atom target) {
    if (target == m_targets) {
        const Atom targets[] = {m_targets, m_timestamp, m_utf8, XA_STRING, m_text};
        XChangeProperty(m_display, requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(targets),
                        static_cast<int>(std::size(targets)));
        return true;
    }
    if (target == m_timestamp) {
        const long stamp = static_cast<long>(m_ownedSince);
        XChangeProperty(m_display, requestor, property, XA_INTEGER, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&stamp), 1);
        return true;
    }
    std::string bytes;
    Atom type = None;
    const std::string text = ToSystemBreaks(m_held);
    if (target == m_utf8) {
        bytes = text;
        type = m_utf8;
    } else if (target == XA_STRING) {
        bytes = Utf8ToLatin1(text, nullptr);
        type = XA_STRING;
    } else if (target == m_text) {
        // TEXT lets the owner choose: Latin-1 when it holds the text, else UTF-8.
        bool exact = false;
        bytes = Utf8ToLatin1(text, &exact);
        type = XA_STRING;
        if (!exact) {
            bytes = text;
            type = m_utf8;
        }
    } else {
        return false;
    }
    // A text too long for one request would need the incremental protocol: refused instead.
    long units = XExtendedMaxRequestSize(m_display);
    if (units == 0)
        units = XMaxRequestSize(m_display);
    const size_t limit = static_cast<size_t>(units) * 4 - 1024;
    if (bytes.size() > limit || bytes.size() > kMaxBytes)
        return false;
    XChangeProperty(m_display, requestor, property, type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(bytes.data()),
                    static_cast<int>(bytes.size()));
    return true;
}

} // namespace kel::backends
