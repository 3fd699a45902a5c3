// The system clipboard and the desktop's requests over the x11 backend. A second connection
// on its own thread plays another program on the same display: it owns the clipboard, reads
// ours, never answers, sends long texts in pieces, and asks a window to close.
#include <afxwin.h>

#include "platform/backends/x11/X11Backend.h"

// gtest before Xlib, whose macros (None, Bool) would clash with its names.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

bool RunUntil(const std::function<bool()>& done, DWORD ms) {
    const auto end = SteadyClock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (SteadyClock::now() >= end)
            return false;
        KelRunFor(10);
    }
    return true;
}

class COtherProgram {
public:
    enum Mode { Answers, Latin1Only, Silent, Pieces, PiecesStop };

    ~COtherProgram() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_display != nullptr) {
            XDestroyWindow(m_display, m_window);
            XCloseDisplay(m_display);
        }
    }

    bool Open() {
        m_display = XOpenDisplay(nullptr);
        if (m_display == nullptr)
            return false;
        m_window =
            XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 1, 1, 0, 0, 0);
        m_clipboard = Intern("CLIPBOARD");
        m_property = Intern("OTHER_PROPERTY");
        m_incr = Intern("INCR");
        m_utf8 = Intern("UTF8_STRING");
        m_thread = std::thread([this] { Loop(); });
        return true;
    }

    void Own(const std::string& text, Mode mode) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_text = text;
        m_mode = mode;
        m_lost = false;
        XSetSelectionOwner(m_display, m_clipboard, m_window, CurrentTime);
        XSync(m_display, False); // done before this program looks
    }
    bool Lost() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_lost;
    }
    Window Owner() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return XGetSelectionOwner(m_display, m_clipboard);
    }
    Window Self() const { return m_window; }

    // Asks the clipboard's owner for target; Done() when the answer came.
    void Request(const char* target) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_done = false;
        m_result.reset();
        m_resultType.clear();
        XConvertSelection(m_display, m_clipboard, XInternAtom(m_display, target, False), m_property,
                          m_window, CurrentTime);
        XFlush(m_display);
    }
    bool Done() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_done;
    }
    std::optional<std::string> Result() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_result;
    }
    std::string ResultType() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_resultType;
    }
    // The names of the atoms a TARGETS answer lists.
    std::vector<std::string> Targets() {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<std::string> names;
        if (!m_result)
            return names;
        const auto* atoms = reinterpret_cast<const long*>(m_result->data());
        for (size_t i = 0; i < m_result->size() / sizeof(long); ++i) {
            char* name = XGetAtomName(m_display, static_cast<Atom>(atoms[i]));
            names.emplace_back(name != nullptr ? name : "");
            XFree(name);
        }
        return names;
    }

    // What a desktop sends when the user closes the top-level window of that title.
    bool AskToClose(const char* title) {
        std::lock_guard<std::mutex> lock(m_mutex);
        Window root = DefaultRootWindow(m_display), parent = 0, *children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(m_display, root, &root, &parent, &children, &n))
            return false;
        Window target = 0;
        for (unsigned int i = 0; i < n && target == 0; ++i) {
            char* name = nullptr;
            if (XFetchName(m_display, children[i], &name) && name != nullptr) {
                if (std::string(name) == title)
                    target = children[i];
                XFree(name);
            }
        }
        XFree(children);
        if (target == 0)
            return false;
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = target;
        e.xclient.message_type = Intern("WM_PROTOCOLS");
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(Intern("WM_DELETE_WINDOW"));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_display, target, False, NoEventMask, &e);
        XFlush(m_display);
        return true;
    }

private:
    Atom Intern(const char* name) { return XInternAtom(m_display, name, False); }

    void Loop() {
        while (!m_stop) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                while (XPending(m_display) > 0) {
                    XEvent e;
                    XNextEvent(m_display, &e);
                    Handle(e);
                }
            }
            std::this_thread::sleep_for(2ms);
        }
    }

    void Handle(const XEvent& e) {
        if (e.type == SelectionClear) {
            m_lost = true;
        } else if (e.type == SelectionRequest) {
            Answer(e.xselectionrequest);
        } else if (e.type == SelectionNotify && e.xselection.requestor == m_window) {
            if (e.xselection.property != None) {
                Atom type = None;
                int format = 0;
                unsigned long count = 0, after = 0;
                unsigned char* data = nullptr;
                XGetWindowProperty(m_display, m_window, m_property, 0, 1 << 20, True,
                                   AnyPropertyType, &type, &format, &count, &after, &data);
                const size_t unit = format == 32 ? sizeof(long) : format == 16 ? 2 : 1;
                m_result = std::string(reinterpret_cast<const char*>(data), count * unit);
                char* name = type != None ? XGetAtomName(m_display, type) : nullptr;
                m_resultType = name != nullptr ? name : "";
                XFree(name);
                XFree(data);
            }
            m_done = true;
        } else if (e.type == PropertyNotify && e.xproperty.state == PropertyDelete &&
                   m_piecesTo != 0 && e.xproperty.window == m_piecesTo &&
                   e.xproperty.atom == m_piecesProperty) {
            // The reader took the last piece: the next one, or the empty end.
            const size_t n = std::min<size_t>(1000, m_text.size() - m_sent);
            XChangeProperty(m_display, m_piecesTo, m_piecesProperty, m_utf8, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(m_text.data() + m_sent),
                            static_cast<int>(n));
            m_sent += n;
            if (n == 0)
                m_piecesTo = 0;
            XFlush(m_display);
        }
    }

    void Answer(const XSelectionRequestEvent& r) {
        if (m_mode == Silent)
            return;
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = r.requestor;
        reply.xselection.selection = r.selection;
        reply.xselection.target = r.target;
        reply.xselection.time = r.time;
        reply.xselection.property = None;
        if (r.target == m_utf8 && m_mode == Answers) {
            XChangeProperty(m_display, r.requestor, r.property, m_utf8, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(m_text.data()),
                            static_cast<int>(m_text.size()));
            reply.xselection.property = r.property;
        } else if (r.target == XA_STRING && m_mode == Latin1Only) {
            XChangeProperty(m_display, r.requestor, r.property, XA_STRING, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(m_text.data()),
                            static_cast<int>(m_text.size()));
            reply.xselection.property = r.property;
        } else if (r.target == m_utf8 && (m_mode == Pieces || m_mode == PiecesStop)) {
            // Announced as a long transfer; PiecesStop never sends a piece.
            if (m_mode == Pieces) {
                XSelectInput(m_display, r.requestor, PropertyChangeMask);
                m_piecesTo = r.requestor;
                m_piecesProperty = r.property;
                m_sent = 0;
            }
            const long size = static_cast<long>(m_text.size());
            XChangeProperty(m_display, r.requestor, r.property, m_incr, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&size), 1);
            reply.xselection.property = r.property;
        }
        XSendEvent(m_display, r.requestor, False, NoEventMask, &reply);
        XFlush(m_display);
    }

    Display* m_display = nullptr;
    Window m_window = 0;
    Atom m_clipboard = 0, m_property = 0, m_incr = 0, m_utf8 = 0;
    std::mutex m_mutex;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::string m_text;
    Mode m_mode = Answers;
    bool m_lost = false;
    bool m_done = false;
    std::optional<std::string> m_result;
    std::string m_resultType;
    Window m_piecesTo = 0;
    Atom m_piecesProperty = 0;
    size_t m_sent = 0;
};

// A popup with two edits.
class CEditsWnd : public CWnd {
public:
    CEdit m_first, m_second;
    BOOL Create(LPCTSTR title) {
        if (!CreateEx(0, AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW)), title,
                      WS_POPUP | WS_VISIBLE | WS_BORDER, CRect(50, 50, 350, 150), nullptr, 0))
            return FALSE;
        return m_first.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL,
                              CRect(10, 10, 290, 32), this, 1) &&
               m_second.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL,
                               CRect(10, 50, 290, 72), this, 2);
    }
};

CString Text(CWnd& w) {
    CString s;
    w.GetWindowText(s);
    return s;
}

class X11ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!other.Open())
            GTEST_SKIP() << "no X display can be opened";
        ASSERT_TRUE(KelX11BackendAvailable());
        KelRequestRealWindows(TRUE);
        ASSERT_STREQ("x11", KelGetBackendName());
        ASSERT_TRUE(wnd.Create("edits"));
        wnd.m_first.SetFocus();
        KelRunFor(50);
    }
    void TearDown() override {
        if (wnd.GetSafeHwnd() != nullptr)
            wnd.DestroyWindow();
        KelResetWindowSystem();
    }
    // Another program's answer to a request for target, this program's loop running meanwhile.
    std::optional<std::string> Read(const char* target) {
        other.Request(target);
        EXPECT_TRUE(RunUntil([&] { return other.Done(); }, 5000)) << target;
        return other.Result();
    }

    COtherProgram other;
    CEditsWnd wnd;
    Robot robot;
};

TEST_F(X11ClipboardTest, PasteTakesWhatAnotherProgramCopied) {
    other.Own("h\xC3\xA9llo w\xC3\xB6rld\nsecond line", COtherProgram::Answers);
    EXPECT_TRUE(KelIsClipboardTextAvailable());
    robot.Key('V', Robot::Ctrl);
    EXPECT_STREQ("h\xC3\xA9llo w\xC3\xB6rld", Text(wnd.m_first)); // a single line takes the first
    // The system's line breaks arrive as the framework's.
    EXPECT_STREQ("h\xC3\xA9llo w\xC3\xB6rld\r\nsecond line", KelGetClipboardText());

    // An older program offering Latin-1 only.
    other.Own("caf\xE9", COtherProgram::Latin1Only);
    wnd.m_second.SendMessage(WM_PASTE);
    EXPECT_STREQ("caf\xC3\xA9", Text(wnd.m_second));

    // Malformed UTF-8 is not passed on as it came.
    other.Own("a\xFFz\xC0\xAF", COtherProgram::Answers);
    EXPECT_STREQ("a\xEF\xBF\xBDz\xEF\xBF\xBD\xEF\xBF\xBD", KelGetClipboardText());
}

TEST_F(X11ClipboardTest, CopyIsReadByAnotherProgramUntilItTakesTheClipboard) {
    other.Own("old", COtherProgram::Answers);
    wnd.m_first.SetWindowText("na\xC3\xAFve \xE2\x82\xAC text");
    wnd.m_first.SetSel(0, -1);
    robot.Key('C', Robot::Ctrl);
    ASSERT_TRUE(RunUntil([&] { return other.Lost(); }, 5000));
    EXPECT_NE(other.Self(), other.Owner());

    EXPECT_EQ("na\xC3\xAFve \xE2\x82\xAC text", Read("UTF8_STRING").value_or("(none)"));
    EXPECT_EQ("UTF8_STRING", other.ResultType());
    EXPECT_EQ("na\xEFve ? text", Read("STRING").value_or("(none)"));
    EXPECT_EQ("STRING", other.ResultType());
    // TEXT: Latin-1 cannot hold the euro sign, so UTF-8.
    EXPECT_EQ("na\xC3\xAFve \xE2\x82\xAC text", Read("TEXT").value_or("(none)"));
    EXPECT_EQ("UTF8_STRING", other.ResultType());
    ASSERT_TRUE(Read("TARGETS").has_value());
    const std::vector<std::string> targets = other.Targets();
    for (const char* t : {"TARGETS", "UTF8_STRING", "STRING", "TEXT"})
        EXPECT_NE(targets.end(), std::find(targets.begin(), targets.end(), t)) << t;
    EXPECT_FALSE(Read("image/png").has_value());

    // Pasting what this program holds needs no one else; line breaks go out as LF.
    KelSetClipboardText("one\r\ntwo");
    EXPECT_STREQ("one\r\ntwo", KelGetClipboardText());
    EXPECT_EQ("one\ntwo", Read("UTF8_STRING").value_or("(none)"));

    // Another program takes the clipboard: the next paste is its text.
    other.Own("theirs", COtherProgram::Answers);
    KelRunFor(50);
    wnd.m_second.SetFocus();
    robot.Key(VK_INSERT, Robot::Shift);
    EXPECT_STREQ("theirs", Text(wnd.m_second));

    // Emptied by its holder, the clipboard has nothing to paste.
    KelSetClipboardText("mine");
    KelEmptyClipboard();
    EXPECT_EQ(static_cast<Window>(None), other.Owner());
    EXPECT_FALSE(KelIsClipboardTextAvailable());

    // The backend going while it holds the clipboard gives it up.
    KelSetClipboardText("mine");
    EXPECT_NE(static_cast<Window>(None), other.Owner());
    wnd.DestroyWindow();
    KelSetBackend(kel::backends::CreateX11Backend());
    EXPECT_TRUE(RunUntil([&] { return other.Owner() == None; }, 2000));
}

TEST_F(X11ClipboardTest, PasteFromAHolderThatDoesNotAnswerReturnsWithNothing) {
    wnd.m_first.SetWindowText("keep");
    wnd.m_first.SetSel(0, -1);
    for (auto mode : {COtherProgram::Silent, COtherProgram::PiecesStop}) {
        other.Own("lost", mode);
        const auto start = SteadyClock::now();
        robot.Key('V', Robot::Ctrl);
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - start);
        EXPECT_LT(ms.count(), 3000) << mode;
        EXPECT_GE(ms.count(), 900) << mode; // it did wait
        EXPECT_STREQ("keep", Text(wnd.m_first)) << mode;
        int a = -1, b = -1;
        wnd.m_first.GetSel(a, b);
        EXPECT_EQ(0, a);
        EXPECT_EQ(4, b);
    }
    // A long text sent in pieces arrives whole.
    std::string longText;
    for (int i = 0; longText.size() < 5500; ++i)
        longText += "line " + std::to_string(i) + "\n";
    other.Own(longText, COtherProgram::Pieces);
    std::string expected;
    for (char c : longText)
        expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(expected, std::string(KelGetClipboardText()));
}

TEST_F(X11ClipboardTest, ProgramExitsWhileHoldingTheClipboard) {
    other.Own("before", COtherProgram::Answers);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    ::setenv("KELRS_CLIPBOARD_CHILD", "1", 1);
    std::unique_ptr<FILE, int (*)(FILE*)> child(
        popen((self + " --gtest_filter=X11ClipboardChild.CopiesThenExits 2>&1").c_str(), "r"),
        pclose);
    ::unsetenv("KELRS_CLIPBOARD_CHILD");
    ASSERT_TRUE(child != nullptr);
    ASSERT_TRUE(RunUntil([&] { return other.Lost(); }, 20000));
    EXPECT_EQ("from the child", Read("UTF8_STRING").value_or("(none)"));
    std::string output;
    char buf[256];
    while (fgets(buf, sizeof buf, child.get()) != nullptr)
        output += buf;
    const int status = pclose(child.release());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
    EXPECT_TRUE(RunUntil([&] { return other.Owner() == None; }, 2000));
}

// Run by the test above as a program of its own: copies, answers for a while, then exits
// holding the clipboard.
TEST(X11ClipboardChild, CopiesThenExits) {
    if (std::getenv("KELRS_CLIPBOARD_CHILD") == nullptr)
        GTEST_SKIP() << "run by ProgramExitsWhileHoldingTheClipboard";
    KelRequestRealWindows(TRUE);
    ASSERT_STREQ("x11", KelGetBackendName());
    CEditsWnd wnd;
    ASSERT_TRUE(wnd.Create("child"));
    wnd.m_first.SetWindowText("from the child");
    wnd.m_first.SetFocus();
    wnd.m_first.SetSel(0, -1);
    Robot().Key('C', Robot::Ctrl);
    KelRunFor(1500);
}

// The desktop's close button: WM_CLOSE for an enabled window, nothing under a modal dialog.
class CCloseWnd : public CWnd {
public:
    int m_nCloses = 0;

protected:
    afx_msg void OnClose() {
        ++m_nCloses;
        CWnd::OnClose();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCloseWnd, CWnd)
ON_WM_CLOSE()
END_MESSAGE_MAP()

TEST_F(X11ClipboardTest, DesktopCloseRequestBecomesWmClose) {
    CCloseWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW)),
                               "close me", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               CRect(400, 100, 700, 300), nullptr, 0));
    KelRunFor(100);
    frame.EnableWindow(FALSE);
    ASSERT_TRUE(other.AskToClose("close me"));
    KelRunFor(300);
    EXPECT_EQ(0, frame.m_nCloses);
    EXPECT_TRUE(::IsWindow(frame.GetSafeHwnd()));

    frame.EnableWindow(TRUE);
    ASSERT_TRUE(other.AskToClose("close me"));
    EXPECT_TRUE(RunUntil([&] { return frame.GetSafeHwnd() == nullptr; }, 5000));
    EXPECT_EQ(1, frame.m_nCloses);
}

} // namespace
