// Shared by the companion tests: a clean window system for each test, a host window that
// writes down what its children tell it, a test module for resources, and pictures.
#pragma once

#include <KelControls.h>

#include "platform/gdi/BitmapResource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

inline void PrintTo(const CRect& r, std::ostream* os) {
    *os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

// Three 16 x 16 images on a fuchsia ground: red, lime and blue squares 12 pixels wide.
inline KelBitmapResource TestStrip() {
    KelBitmapResource strip;
    strip.cx = 48;
    strip.cy = 16;
    strip.pixels.assign(48 * 16, RGB(255, 0, 255));
    const COLORREF colors[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    for (int image = 0; image < 3; ++image)
        for (int y = 2; y < 14; ++y)
            for (int x = 2; x < 14; ++x)
                strip.pixels[static_cast<size_t>(y * 48 + image * 16 + x)] = colors[image];
    return strip;
}

// Whether a toolbar's button is enabled (asked of the control itself).
inline bool Enabled(CToolBar& bar, UINT nID) {
    return bar.SendMessage(TB_ISBUTTONENABLED, nID) != 0;
}

class CompanionTest : public ::testing::Test {
protected:
    void SetUp() override {
        KelResetWindowSystem();
        hModule = AfxRegisterModule("KelTestCompanions.dll");
    }
    void TearDown() override {
        KelResetWindowSystem();
        AfxUnregisterModule(hModule);
    }

    static void SavePicture(CWnd* pWnd, const char* name) {
        const std::filesystem::path dir = std::filesystem::path(KEL_TEST_DATA_DIR) / "pictures";
        std::filesystem::create_directories(dir);
        const std::string path = (dir / (std::string(name) + ".png")).string();
        EXPECT_TRUE(SaveWindowImage(pWnd->GetSafeHwnd(), path.c_str())) << path;
    }
    // A pixel of a window as painted (everything invalid is painted first).
    static COLORREF Pixel(CWnd* pWnd, int x, int y) {
        KelRunUntilIdle();
        return KelGetWindowPixel(pWnd->GetSafeHwnd(), CPoint(x, y));
    }

    HINSTANCE hModule = nullptr;
};

// A top-level window that writes down the messages of its children.
class CHostWnd : public CWnd {
public:
    BOOL CreateHost(const CRect& rc) {
        return CreateEx(0,
                        AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                            ::GetSysColorBrush(COLOR_3DFACE)),
                        "Host", WS_POPUP | WS_VISIBLE, rc, nullptr, 0);
    }

    std::vector<std::string> log;
    // WM_KILLEDIT_ACCEPT and WM_KILLEDIT_CANCEL: the editor's text as the parent read it.
    std::vector<std::string> editTexts;
    // Destroys the editor from inside its message, as a parent may.
    bool destroyEditor = false;

    // The ends of edits told so far ("accept", "cancel").
    std::vector<std::string> Ends() const {
        std::vector<std::string> ends;
        for (const std::string& s : log) {
            if (s == "accept" || s == "cancel")
                ends.push_back(s);
        }
        return ends;
    }
    int Count(const std::string& entry) const {
        int n = 0;
        for (const std::string& s : log)
            n += s == entry;
        return n;
    }

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        switch (message) {
        case WM_COMMAND:
            log.push_back("cmd " + std::to_string(LOWORD(wParam)) + " " +
                          std::to_string(HIWORD(wParam)));
            return TRUE;
        case WM_NOTIFY: {
            const auto* nm = reinterpret_cast<const NMHEADER*>(lParam);
            if (nm->hdr.code == HDN_ITEMCLICK)
                log.push_back("click " + std::to_string(nm->iItem));
            break;
        }
        case WM_VSCROLL:
        case WM_HSCROLL:
            if (lParam != 0) {
                auto* bar = dynamic_cast<CExScrollBar*>(CWnd::FromHandle((HWND)lParam));
                const UINT pos = HIWORD(wParam);
                log.push_back("scroll " + std::to_string(LOWORD(wParam)) + " " +
                              std::to_string(bar ? bar->GetThumbPos(pos) : (int)pos));
                *pResult = 0;
                return TRUE;
            }
            break;
        case WM_KILLEDIT_ACCEPT:
        case WM_KILLEDIT_CANCEL: {
            log.push_back(message == WM_KILLEDIT_ACCEPT ? "accept" : "cancel");
            auto* editor = reinterpret_cast<CWnd*>(wParam);
            CString text;
            editor->GetWindowText(text);
            editTexts.push_back(static_cast<LPCTSTR>(text));
            if (destroyEditor)
                editor->DestroyWindow();
            *pResult = 0;
            return TRUE;
        }
        default:
            break;
        }
        return CWnd::OnWndMsg(message, wParam, lParam, pResult);
    }
};
