// Shared by the control tests: a clean window system for each test, a host window that writes
// down what its controls tell it, and pictures saved into the build folder.
#pragma once

#include <afxcmn.h>
#include <afxwin.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

inline void PrintTo(const CRect& r, std::ostream* os) {
    *os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}
inline void PrintTo(const CPoint& p, std::ostream* os) {
    *os << "(" << p.x << "," << p.y << ")";
}

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override { KelResetWindowSystem(); }
    void TearDown() override { KelResetWindowSystem(); }

    // Writes the window's picture as <name>.png into the build folder's pictures.
    static void SavePicture(CWnd* pWnd, const char* name) {
        std::filesystem::path dir = std::filesystem::path(KEL_TEST_DATA_DIR) / "pictures";
        std::filesystem::create_directories(dir);
        const std::string path = (dir / (std::string(name) + ".png")).string();
        EXPECT_TRUE(SaveWindowImage(pWnd->GetSafeHwnd(), path.c_str())) << path;
    }
};

// A top-level window that writes down the commands, notifications and scroll messages of its
// children as text ("cmd 12 BN 0", "notify 5 HDN_TRACK item 1 width 60", "vscroll LINEDOWN 3").
class CHostWnd : public CWnd {
public:
    BOOL CreateHost(const CRect& rc, LPCTSTR title = "Host") {
        return CreateEx(0,
                        AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                            ::GetSysColorBrush(COLOR_3DFACE)),
                        title, WS_POPUP | WS_VISIBLE, rc, nullptr, 0);
    }

    std::vector<std::string> log;
    // What WM_NOTIFY answers, by code (0 when not set).
    UINT refuseCode = 0;

    void Clear() { log.clear(); }
    int Count(const std::string& prefix) const {
        int n = 0;
        for (const std::string& s : log)
            n += s.rfind(prefix, 0) == 0;
        return n;
    }

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        switch (message) {
        case WM_COMMAND:
            log.push_back("cmd " + std::to_string(LOWORD(wParam)) + " " +
                          CodeName(LOWORD(wParam), HIWORD(wParam), lParam));
            break;
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lParam);
            std::string entry =
                "notify " + std::to_string(hdr->idFrom) + " " + NotifyName(hdr->code);
            if (hdr->code >= HDN_ENDDRAG && hdr->code <= HDN_ITEMCHANGING) {
                auto* nm = reinterpret_cast<NMHEADER*>(lParam);
                entry += " item " + std::to_string(nm->iItem);
                if (nm->pitem != nullptr && (nm->pitem->mask & HDI_WIDTH))
                    entry += " width " + std::to_string(nm->pitem->cxy);
                if (nm->pitem != nullptr && (nm->pitem->mask & HDI_ORDER))
                    entry += " order " + std::to_string(nm->pitem->iOrder);
            }
            log.push_back(entry);
            if (refuseCode != 0 && hdr->code == refuseCode) {
                *pResult = TRUE;
                return TRUE;
            }
            break;
        }
        case WM_VSCROLL:
        case WM_HSCROLL:
            if (lParam != 0) {
                log.push_back(std::string(message == WM_VSCROLL ? "vscroll " : "hscroll ") +
                              ScrollName(LOWORD(wParam)) + " " + std::to_string(HIWORD(wParam)));
                *pResult = 0;
                return TRUE;
            }
            break;
        default:
            break;
        }
        return CWnd::OnWndMsg(message, wParam, lParam, pResult);
    }

    static std::string ScrollName(UINT code) {
        static const char* names[] = {"LINEUP",   "LINEDOWN",      "PAGEUP",
                                      "PAGEDOWN", "THUMBPOSITION", "THUMBTRACK",
                                      "TOP",      "BOTTOM",        "ENDSCROLL"};
        return code < 9 ? names[code] : std::to_string(code);
    }
    static std::string CodeName(UINT, UINT code, LPARAM lParam) {
        char cls[32] = {};
        ::GetClassName(reinterpret_cast<HWND>(lParam), cls, sizeof(cls));
        const std::string c = cls;
        if (c == "ComboBox") {
            switch (code) {
            case CBN_SELCHANGE:
                return "CBN_SELCHANGE";
            case CBN_SELENDOK:
                return "CBN_SELENDOK";
            case CBN_SELENDCANCEL:
                return "CBN_SELENDCANCEL";
            case CBN_DROPDOWN:
                return "CBN_DROPDOWN";
            case CBN_CLOSEUP:
                return "CBN_CLOSEUP";
            case CBN_SETFOCUS:
                return "CBN_SETFOCUS";
            case CBN_KILLFOCUS:
                return "CBN_KILLFOCUS";
            case CBN_EDITCHANGE:
                return "CBN_EDITCHANGE";
            case CBN_EDITUPDATE:
                return "CBN_EDITUPDATE";
            case CBN_DBLCLK:
                return "CBN_DBLCLK";
            default:
                break;
            }
        } else if (c == "Edit") {
            switch (code) {
            case EN_CHANGE:
                return "EN_CHANGE";
            case EN_UPDATE:
                return "EN_UPDATE";
            case EN_SETFOCUS:
                return "EN_SETFOCUS";
            case EN_KILLFOCUS:
                return "EN_KILLFOCUS";
            case EN_MAXTEXT:
                return "EN_MAXTEXT";
            default:
                break;
            }
        } else if (c == "ListBox") {
            switch (code) {
            case LBN_SELCHANGE:
                return "LBN_SELCHANGE";
            case LBN_DBLCLK:
                return "LBN_DBLCLK";
            case LBN_SETFOCUS:
                return "LBN_SETFOCUS";
            case LBN_KILLFOCUS:
                return "LBN_KILLFOCUS";
            default:
                break;
            }
        } else if (c == "Button") {
            switch (code) {
            case BN_CLICKED:
                return "BN_CLICKED";
            case BN_DOUBLECLICKED:
                return "BN_DOUBLECLICKED";
            default:
                break;
            }
        }
        return std::to_string(code);
    }
    static std::string NotifyName(UINT code) {
        switch (code) {
        case HDN_ITEMCHANGING:
            return "HDN_ITEMCHANGING";
        case HDN_ITEMCHANGED:
            return "HDN_ITEMCHANGED";
        case HDN_ITEMCLICK:
            return "HDN_ITEMCLICK";
        case HDN_ITEMDBLCLICK:
            return "HDN_ITEMDBLCLICK";
        case HDN_DIVIDERDBLCLICK:
            return "HDN_DIVIDERDBLCLICK";
        case HDN_BEGINTRACK:
            return "HDN_BEGINTRACK";
        case HDN_TRACK:
            return "HDN_TRACK";
        case HDN_ENDTRACK:
            return "HDN_ENDTRACK";
        case HDN_BEGINDRAG:
            return "HDN_BEGINDRAG";
        case HDN_ENDDRAG:
            return "HDN_ENDDRAG";
        case TTN_SHOW:
            return "TTN_SHOW";
        case TTN_POP:
            return "TTN_POP";
        case TTN_GETDISPINFO:
            return "TTN_GETDISPINFO";
        case NM_RCLICK:
            return "NM_RCLICK";
        default:
            return std::to_string(static_cast<int>(code));
        }
    }
};
