// The browser's frame in a real window on the X display: after the window is sized larger and
// smaller by someone else (as a desktop or xdotool does) and after each bar is hidden or shown,
// the window's pixels on the screen are those of the headless rendering of the same state (a
// full repaint of every window into the frame's image).
#include "apps/browser/BrowserCtrl.h"
#include "apps/browser/BrowserResources.h"

#include "tools/sampledb/SampleDatabase.h"

#include <afxdao.h>
#include <afxwin.h>

#include <cairo.h>

#include "companions/settings/AppRegistry.h"
#include "platform/win/Backend.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

// Last: the X headers define macros (None, Bool, Status) that others use as names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace fs = std::filesystem;

namespace {

struct DisplayCloser {
    void operator()(Display* d) const { XCloseDisplay(d); }
};
struct ImageDeleter {
    void operator()(XImage* i) const { XDestroyImage(i); }
};

class BrowserX11Test : public ::testing::Test {
protected:
    void SetUp() override {
        // The test's own connection plays the desktop; ./run gives a private Xvfb display.
        m_display.reset(XOpenDisplay(nullptr));
        if (!m_display)
            GTEST_SKIP() << "no X display can be opened";
        KelResetWindowSystem();
        KelRequestRealWindows(TRUE);
        ASSERT_STREQ("x11", KelGetBackendName());
        m_strSavedPath = AppRegistryPath;
        AppRegistryPath = "Software\\KelRSListTest\\BrowserX11\\";
        const fs::path dir = fs::path(KEL_TEST_DATA_DIR) / "browser";
        fs::create_directories(dir);
        m_strDb = (dir / "BrowserX11Test.db").string();
        fs::copy_file(kelsampledb::Cached(dir.string(), 200), m_strDb,
                      fs::copy_options::overwrite_existing);
        m_app = std::make_unique<CWinApp>("BrowserX11Test");
        RegisterBrowserResources(AfxGetInstanceHandle());
        m_app->AddDocTemplate(new CSingleDocTemplate(IDR_BROWSER, RUNTIME_CLASS(CRecordsetDoc),
                                                     RUNTIME_CLASS(CFrameWnd),
                                                     RUNTIME_CLASS(CRecordsetView)));
        CBrowserCtrl::s_strTable = "Orders";
        auto* pLoad = new CRecordsetLoad;
        pLoad->m_strDatabase = m_strDb.c_str();
        pLoad->m_strSQL = "SELECT * FROM [Orders]";
        pLoad->m_nToolBarID = IDR_BROWSER_TOOLS;
        pLoad->m_pCtrlClass = RUNTIME_CLASS(CBrowserCtrl);
        CDocument* pDoc = m_app->OpenDocumentFile(reinterpret_cast<LPCTSTR>(pLoad));
        ASSERT_NE(nullptr, pDoc);
        POSITION pos = pDoc->GetFirstViewPosition();
        auto* pView = DYNAMIC_DOWNCAST(CRecordsetView, pDoc->GetNextView(pos));
        ASSERT_NE(nullptr, pView);
        m_pFrame = pView->GetParentFrame();
        m_app->m_pMainWnd = m_pFrame; // as in the browser: its grid refetches when sized
        m_pGrid = pView->GetRecordsetCtrl();
        ASSERT_NE(nullptr, m_pGrid);
        m_pFrame->SetWindowText("BrowserX11Test frame");
        m_pFrame->MoveWindow(40, 40, 700, 450);
        m_pFrame->ShowWindow(SW_SHOW);
        Settle();
        m_xwin = FindWindow("BrowserX11Test frame");
        ASSERT_NE(0u, m_xwin);
    }
    void TearDown() override {
        if (m_pFrame != nullptr && ::IsWindow(m_pFrame->GetSafeHwnd()))
            m_pFrame->SendMessage(WM_CLOSE);
        KelResetWindowSystem();
        KelRequestRealWindows(FALSE);
        m_app.reset();
        if (!m_strSavedPath.IsEmpty())
            AppRegistryPath = m_strSavedPath;
    }

    // Lets the server and the program exchange what they have to say.
    void Settle() {
        for (int i = 0; i < 4; ++i) {
            if (m_display)
                XSync(m_display.get(), False);
            KelRunFor(150);
        }
        KelRunUntilIdle();
        XSync(m_display.get(), False);
    }

    Window FindWindow(const char* name) {
        Window root = DefaultRootWindow(m_display.get()), parent = 0, *children = nullptr;
        unsigned n = 0;
        Window found = 0;
        if (XQueryTree(m_display.get(), root, &root, &parent, &children, &n)) {
            for (unsigned i = 0; i < n && found == 0; ++i) {
                char* title = nullptr;
                if (XFetchName(m_display.get(), children[i], &title) && title != nullptr) {
                    if (std::string(title) == name)
                        found = children[i];
                    XFree(title);
                }
            }
            XFree(children);
        }
        return found;
    }

    // The pixels on the screen that differ from the headless rendering of the client area;
    // a window of another size counts as all different.
    long Differences(const std::string& name) {
        XWindowAttributes attrs{};
        XGetWindowAttributes(m_display.get(), m_xwin, &attrs);
        std::unique_ptr<XImage, ImageDeleter> shown(
            XGetImage(m_display.get(), m_xwin, 0, 0, static_cast<unsigned>(attrs.width),
                      static_cast<unsigned>(attrs.height), AllPlanes, ZPixmap));
        if (!shown)
            return -1;
        Save(*shown, name);
        m_pFrame->RedrawWindow(nullptr, nullptr,
                               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME |
                                   RDW_UPDATENOW);
        CRect client;
        m_pFrame->GetClientRect(&client);
        if (client.Width() != attrs.width || client.Height() != attrs.height)
            return static_cast<long>(attrs.width) * attrs.height;
        long n = 0;
        for (int y = 0; y < attrs.height; ++y)
            for (int x = 0; x < attrs.width; ++x) {
                const unsigned long p = XGetPixel(shown.get(), x, y);
                const COLORREF c = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
                n += c != KelGetWindowPixel(m_pFrame->GetSafeHwnd(), CPoint(x, y));
            }
        return n;
    }

    // The screen's picture, for a person to look at: build/testdata/pictures/browser-x11-*.png.
    static void Save(XImage& image, const std::string& name) {
        const fs::path dir = fs::path(KEL_TEST_DATA_DIR) / "pictures";
        fs::create_directories(dir);
        cairo_surface_t* s =
            cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height);
        auto* data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s));
        const int stride = cairo_image_surface_get_stride(s) / 4;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                data[y * stride + x] = static_cast<uint32_t>(XGetPixel(&image, x, y) & 0xFFFFFF);
        cairo_surface_mark_dirty(s);
        cairo_surface_write_to_png(s, (dir / ("browser-x11-" + name + ".png")).string().c_str());
        cairo_surface_destroy(s);
    }

    std::unique_ptr<Display, DisplayCloser> m_display;
    Window m_xwin = 0;
    std::string m_strDb;
    std::unique_ptr<CWinApp> m_app;
    CFrameWnd* m_pFrame = nullptr;
    CRecordsetCtrl* m_pGrid = nullptr;
    CString m_strSavedPath;
};

TEST_F(BrowserX11Test, ScreenShowsTheHeadlessRenderingAfterResizesAndBars) {
    EXPECT_EQ(0, Differences("first")) << "first screen";
    for (CSize size : {CSize(900, 640), CSize(480, 300), CSize(760, 520)}) {
        XResizeWindow(m_display.get(), m_xwin, static_cast<unsigned>(size.cx),
                      static_cast<unsigned>(size.cy));
        Settle();
        CRect client;
        m_pFrame->GetClientRect(&client);
        EXPECT_EQ(size, client.Size());
        const std::string name = std::to_string(size.cx) + "x" + std::to_string(size.cy);
        EXPECT_EQ(0, Differences(name)) << "sized to " << name;
    }
    // The context menu's commands: the toolbar away, the search bar away, both back.
    int step = 0;
    for (UINT id :
         {ID_CM_SHOWTOOLBAR, ID_CM_SHOWSEARCHBAR, ID_CM_SHOWTOOLBAR, ID_CM_SHOWSEARCHBAR}) {
        m_pGrid->SendMessage(WM_COMMAND, id, 0);
        Settle();
        const std::string name = "bars" + std::to_string(++step);
        EXPECT_EQ(0, Differences(name)) << "after the bar command " << id;
    }
}

} // namespace
