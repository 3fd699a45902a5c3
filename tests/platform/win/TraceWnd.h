// A window that writes down the messages it gets, for tests of order and routing.
#pragma once

#include "WinTest.h"

#include <string>
#include <vector>

class CTraceWnd : public CWnd {
public:
    explicit CTraceWnd(std::vector<std::string>* pLog = nullptr, const char* name = "w")
        : m_pLog(pLog), m_name(name) {}

    // Creates a child window of the default class (no double clicks) or of cls.
    BOOL CreateChild(CWnd* pParent, const CRect& rc, UINT nID, DWORD style = WS_VISIBLE,
                     LPCTSTR cls = nullptr) {
        return Create(cls, m_name.c_str(), WS_CHILD | style, rc, pParent, nID);
    }
    // Creates a top-level window (popup, no frame) at rc in screen coordinates.
    BOOL CreateTop(const CRect& rc, DWORD style = WS_POPUP | WS_VISIBLE, LPCTSTR cls = nullptr) {
        return CreateEx(0,
                        cls ? cls
                            : AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                                  ::GetSysColorBrush(COLOR_WINDOW)),
                        m_name.c_str(), style, rc, nullptr, 0);
    }

    void Log(const std::string& what) {
        if (m_pLog != nullptr)
            m_pLog->push_back(m_name + ":" + what);
    }

    std::vector<std::string>* m_pLog;
    std::string m_name;
    std::vector<UINT> m_keys; // WM_KEYDOWN/WM_SYSKEYDOWN codes
    std::string m_chars;      // WM_CHAR text
    std::vector<CPoint> m_clicks;
    int m_nPostNcDestroy = 0;

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        switch (message) {
        case WM_NCCREATE:
            Log("NCCREATE");
            break;
        case WM_CREATE:
            Log("CREATE");
            break;
        case WM_SIZE:
            Log("SIZE " + std::to_string(LOWORD(lParam)) + "x" + std::to_string(HIWORD(lParam)));
            break;
        case WM_MOVE:
            Log("MOVE");
            break;
        case WM_DESTROY:
            Log("DESTROY");
            break;
        case WM_NCDESTROY:
            Log("NCDESTROY");
            break;
        case WM_SETFOCUS:
            Log("SETFOCUS from " + NameOf(reinterpret_cast<HWND>(wParam)));
            break;
        case WM_KILLFOCUS:
            Log("KILLFOCUS to " + NameOf(reinterpret_cast<HWND>(wParam)));
            break;
        case WM_LBUTTONDOWN:
            Log("LBUTTONDOWN " + Pt(lParam));
            m_clicks.push_back(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
            break;
        case WM_LBUTTONUP:
            Log("LBUTTONUP " + Pt(lParam));
            break;
        case WM_LBUTTONDBLCLK:
            Log("LBUTTONDBLCLK " + Pt(lParam));
            break;
        case WM_RBUTTONDOWN:
            Log("RBUTTONDOWN");
            break;
        case WM_MOUSEMOVE:
            Log("MOUSEMOVE " + Pt(lParam) + ((wParam & MK_LBUTTON) ? " L" : ""));
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            m_keys.push_back(static_cast<UINT>(wParam));
            Log((message == WM_KEYDOWN ? "KEYDOWN " : "SYSKEYDOWN ") + std::to_string(wParam));
            break;
        case WM_CHAR:
            m_chars += static_cast<char>(wParam);
            break;
        case WM_CAPTURECHANGED:
            Log("CAPTURECHANGED");
            break;
        case WM_CONTEXTMENU:
            Log("CONTEXTMENU");
            break;
        case WM_TIMER:
            Log("TIMER " + std::to_string(wParam) + " at " + std::to_string(::GetTickCount()));
            break;
        default:
            if (message >= WM_USER && message < WM_USER + 100)
                Log("USER+" + std::to_string(message - WM_USER));
            break;
        }
        return CWnd::OnWndMsg(message, wParam, lParam, pResult);
    }

    void PostNcDestroy() override {
        ++m_nPostNcDestroy;
        Log("PostNcDestroy");
    }

    static std::string Pt(LPARAM lp) {
        return std::to_string(GET_X_LPARAM(lp)) + "," + std::to_string(GET_Y_LPARAM(lp));
    }
    static std::string NameOf(HWND h) {
        if (h == nullptr)
            return "none";
        CString text;
        CWnd::FromHandle(h)->GetWindowText(text);
        return std::string(text);
    }
};

inline int IndexOf(const std::vector<std::string>& log, const std::string& entry) {
    for (size_t i = 0; i < log.size(); ++i) {
        if (log[i] == entry)
            return static_cast<int>(i);
    }
    return -1;
}
