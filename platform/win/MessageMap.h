// Message maps: static tables of (message, code, ID range) -> handler, one per class, chained
// to the base class's table. Each entry calls its handler through the object, so a virtual
// handler reaches the override of a derived class.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/Messages.h"

class CCmdTarget;

// Command codes of OnCmdMsg.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))

// One dispatch: what the handler receives and where its result goes.
struct AFX_MSG_CALL {
    UINT nMsg;     // window message, WM_COMMAND or WM_NOTIFY (plus WM_REFLECT_BASE if reflected)
    WPARAM wParam; // window messages
    LPARAM lParam; // window messages
    UINT nID;      // commands and notifications: the control or command ID
    UINT nCode;    // notification code; WM_CTLCOLOR: the CTLCOLOR_ kind
    void* pExtra;  // CCmdUI* for CN_UPDATE_COMMAND_UI, AFX_NOTIFY* for WM_NOTIFY
    LRESULT lResult;
};

// Calls the handler; returns FALSE when an _EX handler declined (routing goes on).
typedef BOOL (*AFX_MSGTHUNK)(CCmdTarget* pTarget, AFX_MSG_CALL& call);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;            // 0 ends the table; KEL_REGISTERED_MESSAGE for registered ones
    UINT nCode;               // control or notification code (16 bits)
    UINT nID;                 // first control or command ID
    UINT nLastID;             // last ID of a range
    const UINT* pnRegistered; // ON_REGISTERED_MESSAGE: the variable holding the message
    AFX_MSGTHUNK pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// The WM_NOTIFY payload handed to OnCmdMsg.
struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

// Filled by OnCmdMsg when asked whether a handler exists (nothing is called then).
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
    const AFX_MSGMAP_ENTRY* pEntry;
};

#define KEL_REGISTERED_MESSAGE 0xC000

// The entry of a table matching the message, code and ID; NULL when there is none.
const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMsg, UINT nCode,
                                            UINT nID);

// ---------------------------------------------------------------------------
// Declaring and defining a map.
#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                            \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        using ThisClass [[maybe_unused]] = theClass;                                               \
        using TheBaseClass = baseClass;                                                            \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, 0, nullptr, nullptr }                                                               \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};  \
    return &messageMap;                                                                            \
    }

// An entry whose body runs with p_ (the object as ThisClass) and c_ (the AFX_MSG_CALL).
#define KEL_MAP_ENTRY(msg, code, id, lastId, ...)                                                  \
    {(UINT)(msg),                                                                                  \
     (UINT)(code),                                                                                 \
     (UINT)(id),                                                                                   \
     (UINT)(lastId),                                                                               \
     nullptr,                                                                                      \
     [](CCmdTarget* pTarget_, AFX_MSG_CALL& c_) -> BOOL {                                          \
         ThisClass* p_ = static_cast<ThisClass*>(pTarget_);                                        \
         (void)c_;                                                                                 \
         __VA_ARGS__;                                                                              \
         return TRUE;                                                                              \
     }},
#define KEL_WM_ENTRY(msg, ...) KEL_MAP_ENTRY(msg, 0, 0, 0, __VA_ARGS__)
#define KEL_POINT_ARG(lp) CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp))
#define KEL_WND_ARG(h) KelWndPtr(CWnd::FromHandle((HWND)(h)))

// ---------------------------------------------------------------------------
// Window messages, with the framework's handler signatures.
#define ON_WM_CREATE()                                                                             \
    KEL_WM_ENTRY(WM_CREATE, c_.lResult = (LRESULT)p_->OnCreate((LPCREATESTRUCT)c_.lParam))
#define ON_WM_NCCREATE()                                                                           \
    KEL_WM_ENTRY(WM_NCCREATE, c_.lResult = (LRESULT)p_->OnNcCreate((LPCREATESTRUCT)c_.lParam))
#define ON_WM_DESTROY() KEL_WM_ENTRY(WM_DESTROY, p_->OnDestroy())
#define ON_WM_NCDESTROY() KEL_WM_ENTRY(WM_NCDESTROY, p_->OnNcDestroy())
#define ON_WM_CLOSE() KEL_WM_ENTRY(WM_CLOSE, p_->OnClose())
#define ON_WM_MOVE()                                                                               \
    KEL_WM_ENTRY(WM_MOVE, p_->OnMove(GET_X_LPARAM(c_.lParam), GET_Y_LPARAM(c_.lParam)))
#define ON_WM_SIZE()                                                                               \
    KEL_WM_ENTRY(WM_SIZE,                                                                          \
                 p_->OnSize((UINT)c_.wParam, (int)LOWORD(c_.lParam), (int)HIWORD(c_.lParam)))
#define ON_WM_PAINT() KEL_WM_ENTRY(WM_PAINT, p_->OnPaint())
#define ON_WM_NCPAINT() KEL_WM_ENTRY(WM_NCPAINT, p_->OnNcPaint())
#define ON_WM_ERASEBKGND()                                                                         \
    KEL_WM_ENTRY(WM_ERASEBKGND,                                                                    \
                 c_.lResult = (LRESULT)p_->OnEraseBkgnd(CDC::FromHandle((HDC)c_.wParam)))
#define ON_WM_TIMER() KEL_WM_ENTRY(WM_TIMER, p_->OnTimer((UINT_PTR)c_.wParam))
#define ON_WM_SHOWWINDOW()                                                                         \
    KEL_WM_ENTRY(WM_SHOWWINDOW, p_->OnShowWindow((BOOL)c_.wParam, (UINT)c_.lParam))
#define ON_WM_ENABLE() KEL_WM_ENTRY(WM_ENABLE, p_->OnEnable((BOOL)c_.wParam))
#define ON_WM_SETFOCUS() KEL_WM_ENTRY(WM_SETFOCUS, p_->OnSetFocus(KEL_WND_ARG(c_.wParam)))
#define ON_WM_KILLFOCUS() KEL_WM_ENTRY(WM_KILLFOCUS, p_->OnKillFocus(KEL_WND_ARG(c_.wParam)))
#define ON_WM_ACTIVATE()                                                                           \
    KEL_WM_ENTRY(WM_ACTIVATE, p_->OnActivate(LOWORD(c_.wParam), KEL_WND_ARG(c_.lParam),            \
                                             (BOOL)HIWORD(c_.wParam)))
#define ON_WM_MOUSEACTIVATE()                                                                      \
    KEL_WM_ENTRY(WM_MOUSEACTIVATE,                                                                 \
                 c_.lResult = (LRESULT)p_->OnMouseActivate(KEL_WND_ARG(c_.wParam),                 \
                                                           LOWORD(c_.lParam), HIWORD(c_.lParam)))
#define ON_WM_NCACTIVATE()                                                                         \
    KEL_WM_ENTRY(WM_NCACTIVATE, c_.lResult = (LRESULT)p_->OnNcActivate((BOOL)c_.wParam))
#define ON_WM_CHILDACTIVATE() KEL_WM_ENTRY(WM_CHILDACTIVATE, p_->OnChildActivate())
#define ON_WM_CANCELMODE() KEL_WM_ENTRY(WM_CANCELMODE, p_->OnCancelMode())
#define ON_WM_CAPTURECHANGED()                                                                     \
    KEL_WM_ENTRY(WM_CAPTURECHANGED, p_->OnCaptureChanged(KEL_WND_ARG(c_.lParam)))
#define ON_WM_SETCURSOR()                                                                          \
    KEL_WM_ENTRY(WM_SETCURSOR, c_.lResult = (LRESULT)p_->OnSetCursor(                              \
                                   KEL_WND_ARG(c_.wParam), LOWORD(c_.lParam), HIWORD(c_.lParam)))
#define ON_WM_NCHITTEST()                                                                          \
    KEL_WM_ENTRY(WM_NCHITTEST, c_.lResult = (LRESULT)p_->OnNcHitTest(KEL_POINT_ARG(c_.lParam)))
#define ON_WM_CONTEXTMENU()                                                                        \
    KEL_WM_ENTRY(WM_CONTEXTMENU,                                                                   \
                 p_->OnContextMenu(KEL_WND_ARG(c_.wParam), KEL_POINT_ARG(c_.lParam)))
#define ON_WM_GETDLGCODE() KEL_WM_ENTRY(WM_GETDLGCODE, c_.lResult = (LRESULT)p_->OnGetDlgCode())
#define ON_WM_WINDOWPOSCHANGING()                                                                  \
    KEL_WM_ENTRY(WM_WINDOWPOSCHANGING, p_->OnWindowPosChanging((WINDOWPOS*)c_.lParam))
#define ON_WM_WINDOWPOSCHANGED()                                                                   \
    KEL_WM_ENTRY(WM_WINDOWPOSCHANGED, p_->OnWindowPosChanged((WINDOWPOS*)c_.lParam))
#define ON_WM_GETMINMAXINFO()                                                                      \
    KEL_WM_ENTRY(WM_GETMINMAXINFO, p_->OnGetMinMaxInfo((MINMAXINFO*)c_.lParam))
#define ON_WM_PARENTNOTIFY()                                                                       \
    KEL_WM_ENTRY(WM_PARENTNOTIFY, p_->OnParentNotify(LOWORD(c_.wParam), c_.lParam))
#define ON_WM_SYSCOLORCHANGE() KEL_WM_ENTRY(WM_SYSCOLORCHANGE, p_->OnSysColorChange())
#define ON_WM_SETTINGCHANGE()                                                                      \
    KEL_WM_ENTRY(WM_SETTINGCHANGE, p_->OnSettingChange((UINT)c_.wParam, (LPCTSTR)c_.lParam))
#define ON_WM_SYSCOMMAND() KEL_WM_ENTRY(WM_SYSCOMMAND, p_->OnSysCommand((UINT)c_.wParam, c_.lParam))
#define ON_WM_DRAWITEM()                                                                           \
    KEL_WM_ENTRY(WM_DRAWITEM, p_->OnDrawItem((int)c_.wParam, (LPDRAWITEMSTRUCT)c_.lParam))
#define ON_WM_MEASUREITEM()                                                                        \
    KEL_WM_ENTRY(WM_MEASUREITEM, p_->OnMeasureItem((int)c_.wParam, (LPMEASUREITEMSTRUCT)c_.lParam))
#define ON_WM_CTLCOLOR()                                                                           \
    KEL_WM_ENTRY(WM_CTLCOLOR,                                                                      \
                 c_.lResult = (LRESULT)p_->OnCtlColor(CDC::FromHandle((HDC)c_.wParam),             \
                                                      KEL_WND_ARG(c_.lParam), c_.nCode))
#define ON_WM_HSCROLL()                                                                            \
    KEL_WM_ENTRY(WM_HSCROLL,                                                                       \
                 p_->OnHScroll(LOWORD(c_.wParam), HIWORD(c_.wParam), KEL_WND_ARG(c_.lParam)))
#define ON_WM_VSCROLL()                                                                            \
    KEL_WM_ENTRY(WM_VSCROLL,                                                                       \
                 p_->OnVScroll(LOWORD(c_.wParam), HIWORD(c_.wParam), KEL_WND_ARG(c_.lParam)))
#define ON_WM_MDIACTIVATE()                                                                        \
    KEL_WM_ENTRY(WM_MDIACTIVATE,                                                                   \
                 p_->OnMDIActivate((HWND)c_.lParam == p_->m_hWnd, KEL_WND_ARG(c_.lParam),          \
                                   KEL_WND_ARG(c_.wParam)))

// Mouse.
#define KEL_MOUSE_ENTRY(msg, fn)                                                                   \
    KEL_WM_ENTRY(msg, p_->fn((UINT)c_.wParam, KEL_POINT_ARG(c_.lParam)))
#define ON_WM_MOUSEMOVE() KEL_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() KEL_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() KEL_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() KEL_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() KEL_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() KEL_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() KEL_MOUSE_ENTRY(WM_RBUTTONDBLCLK, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() KEL_MOUSE_ENTRY(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_MBUTTONUP() KEL_MOUSE_ENTRY(WM_MBUTTONUP, OnMButtonUp)
#define ON_WM_MBUTTONDBLCLK() KEL_MOUSE_ENTRY(WM_MBUTTONDBLCLK, OnMButtonDblClk)
#define ON_WM_NCMOUSEMOVE() KEL_MOUSE_ENTRY(WM_NCMOUSEMOVE, OnNcMouseMove)
#define ON_WM_NCLBUTTONDOWN() KEL_MOUSE_ENTRY(WM_NCLBUTTONDOWN, OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() KEL_MOUSE_ENTRY(WM_NCLBUTTONUP, OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() KEL_MOUSE_ENTRY(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
#define ON_WM_MOUSEWHEEL()                                                                         \
    KEL_WM_ENTRY(WM_MOUSEWHEEL, c_.lResult = (LRESULT)p_->OnMouseWheel(LOWORD(c_.wParam),          \
                                                                       (short)HIWORD(c_.wParam),   \
                                                                       KEL_POINT_ARG(c_.lParam)))

// Keyboard: (character or key, repeat count, key-data flags).
#define KEL_KEY_ENTRY(msg, fn)                                                                     \
    KEL_WM_ENTRY(msg, p_->fn((UINT)c_.wParam, LOWORD(c_.lParam), HIWORD(c_.lParam)))
#define ON_WM_KEYDOWN() KEL_KEY_ENTRY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() KEL_KEY_ENTRY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() KEL_KEY_ENTRY(WM_CHAR, OnChar)
#define ON_WM_SYSKEYDOWN() KEL_KEY_ENTRY(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_SYSKEYUP() KEL_KEY_ENTRY(WM_SYSKEYUP, OnSysKeyUp)
#define ON_WM_SYSCHAR() KEL_KEY_ENTRY(WM_SYSCHAR, OnSysChar)

// Any message: LRESULT memberFxn(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn)                                                             \
    KEL_WM_ENTRY(message, c_.lResult = (LRESULT)p_->memberFxn(c_.wParam, c_.lParam))
#define ON_MESSAGE_VOID(message, memberFxn) KEL_WM_ENTRY(message, p_->memberFxn())
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn)                                         \
    {KEL_REGISTERED_MESSAGE,                                                                       \
     0,                                                                                            \
     0,                                                                                            \
     0,                                                                                            \
     &(nMessageVariable),                                                                          \
     [](CCmdTarget* pTarget_, AFX_MSG_CALL& c_) -> BOOL {                                          \
         c_.lResult =                                                                              \
             (LRESULT) static_cast<ThisClass*>(pTarget_)->memberFxn(c_.wParam, c_.lParam);         \
         return TRUE;                                                                              \
     }},

// ---------------------------------------------------------------------------
// Commands, command-update requests, control notifications.
#define ON_COMMAND(id, memberFxn) KEL_MAP_ENTRY(WM_COMMAND, CN_COMMAND, id, id, p_->memberFxn())
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                                    \
    KEL_MAP_ENTRY(WM_COMMAND, CN_COMMAND, id, idLast, p_->memberFxn(c_.nID))
#define ON_COMMAND_EX(id, memberFxn)                                                               \
    KEL_MAP_ENTRY(WM_COMMAND, CN_COMMAND, id, id, return p_->memberFxn(c_.nID))
#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn)                                                 \
    KEL_MAP_ENTRY(WM_COMMAND, CN_COMMAND, id, idLast, return p_->memberFxn(c_.nID))

#define KEL_UPDATE_BODY(call)                                                                      \
    CCmdUI* pCmdUI_ = static_cast<CCmdUI*>(c_.pExtra);                                             \
    pCmdUI_->m_bContinueRouting = FALSE;                                                           \
    call;                                                                                          \
    return !pCmdUI_->m_bContinueRouting
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                        \
    KEL_MAP_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, id, KEL_UPDATE_BODY(p_->memberFxn(pCmdUI_)))
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn)                                          \
    KEL_MAP_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, idLast,                                    \
                  KEL_UPDATE_BODY(p_->memberFxn(pCmdUI_)))

#define KEL_NOTIFY_ARGS                                                                            \
    static_cast<AFX_NOTIFY*>(c_.pExtra)->pNMHDR, static_cast<AFX_NOTIFY*>(c_.pExtra)->pResult
#define ON_NOTIFY(code, id, memberFxn)                                                             \
    KEL_MAP_ENTRY(WM_NOTIFY, (WORD)(int)(code), id, id, p_->memberFxn(KEL_NOTIFY_ARGS))
#define ON_NOTIFY_RANGE(code, id, idLast, memberFxn)                                               \
    KEL_MAP_ENTRY(WM_NOTIFY, (WORD)(int)(code), id, idLast, p_->memberFxn(c_.nID, KEL_NOTIFY_ARGS))
#define ON_NOTIFY_EX(code, id, memberFxn)                                                          \
    KEL_MAP_ENTRY(WM_NOTIFY, (WORD)(int)(code), id, id,                                            \
                  return p_->memberFxn(c_.nID, KEL_NOTIFY_ARGS))
#define ON_NOTIFY_EX_RANGE(code, id, idLast, memberFxn)                                            \
    KEL_MAP_ENTRY(WM_NOTIFY, (WORD)(int)(code), id, idLast,                                        \
                  return p_->memberFxn(c_.nID, KEL_NOTIFY_ARGS))

#define ON_CONTROL(code, id, memberFxn)                                                            \
    KEL_MAP_ENTRY(WM_COMMAND, (WORD)(int)(code), id, id, p_->memberFxn())
#define ON_CONTROL_RANGE(code, id, idLast, memberFxn)                                              \
    KEL_MAP_ENTRY(WM_COMMAND, (WORD)(int)(code), id, idLast, p_->memberFxn(c_.nID))
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)

// Notifications a control receives back from its parent.
#define ON_NOTIFY_REFLECT(code, memberFxn)                                                         \
    KEL_MAP_ENTRY(WM_NOTIFY + WM_REFLECT_BASE, (WORD)(int)(code), 0, 0,                            \
                  p_->memberFxn(KEL_NOTIFY_ARGS))
#define ON_NOTIFY_REFLECT_EX(code, memberFxn)                                                      \
    KEL_MAP_ENTRY(WM_NOTIFY + WM_REFLECT_BASE, (WORD)(int)(code), 0, 0,                            \
                  return p_->memberFxn(KEL_NOTIFY_ARGS))
#define ON_CONTROL_REFLECT(code, memberFxn)                                                        \
    KEL_MAP_ENTRY(WM_COMMAND + WM_REFLECT_BASE, (WORD)(int)(code), 0, 0, p_->memberFxn())
#define ON_CONTROL_REFLECT_EX(code, memberFxn)                                                     \
    KEL_MAP_ENTRY(WM_COMMAND + WM_REFLECT_BASE, (WORD)(int)(code), 0, 0, return p_->memberFxn())
#define ON_WM_HSCROLL_REFLECT()                                                                    \
    KEL_WM_ENTRY(WM_HSCROLL + WM_REFLECT_BASE, p_->HScroll(LOWORD(c_.wParam), HIWORD(c_.wParam)))
#define ON_WM_VSCROLL_REFLECT()                                                                    \
    KEL_WM_ENTRY(WM_VSCROLL + WM_REFLECT_BASE, p_->VScroll(LOWORD(c_.wParam), HIWORD(c_.wParam)))
#define ON_WM_DRAWITEM_REFLECT()                                                                   \
    KEL_WM_ENTRY(WM_DRAWITEM + WM_REFLECT_BASE, p_->DrawItem((LPDRAWITEMSTRUCT)c_.lParam))
#define ON_WM_MEASUREITEM_REFLECT()                                                                \
    KEL_WM_ENTRY(WM_MEASUREITEM + WM_REFLECT_BASE, p_->MeasureItem((LPMEASUREITEMSTRUCT)c_.lParam))
#define ON_WM_CTLCOLOR_REFLECT()                                                                   \
    KEL_WM_ENTRY(WM_CTLCOLOR + WM_REFLECT_BASE,                                                    \
                 c_.lResult = (LRESULT)p_->CtlColor(CDC::FromHandle((HDC)c_.wParam), c_.nCode))
