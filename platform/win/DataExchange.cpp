#include "platform/win/DataExchange.h"

#include "platform/controls/ControlDefs.h"
#include "platform/win/MessageBox.h"
#include "platform/win/UserException.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <type_traits>

IMPLEMENT_DYNAMIC(CUserException, CException)

void AFXAPI AfxThrowUserException() {
    throw new CUserException;
}

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_hWndLastControl(nullptr),
      m_bEditLastControl(FALSE) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
    HWND h = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), nIDC);
    if (h == nullptr)
        AfxThrowNotSupportedException(); // no control with that ID: the dialog's own mistake
    m_hWndLastControl = h;
    m_bEditLastControl = FALSE;
    return h;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
    HWND h = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return h;
}

void CDataExchange::Fail() {
    if (!m_bSaveAndValidate) {
        // Filling the controls cannot fail on the user's account.
        AfxThrowUserException();
    }
    if (m_hWndLastControl != nullptr) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessage(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

namespace {

CString Text(HWND h) {
    CString s;
    const int n = ::GetWindowTextLength(h);
    ::GetWindowText(h, s.GetBuffer(n), n + 1);
    s.ReleaseBuffer();
    return s;
}

// A whole number of the text (blanks around it allowed) that fits a T; an unsigned T takes no
// minus sign, not even in "-0".
template <class T> bool ParseInteger(CString text, T& out) {
    text.Trim();
    if (text.IsEmpty() || (std::is_unsigned_v<T> && text[0] == '-'))
        return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text, &end, 10);
    if (errno != 0 || end == nullptr || *end != '\0' ||
        v < static_cast<long long>(std::numeric_limits<T>::min()) ||
        v > static_cast<long long>(std::numeric_limits<T>::max()))
        return false;
    out = static_cast<T>(v);
    return true;
}

template <class T> void Integer(CDataExchange* pDX, int nIDC, T& value) {
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        if (!ParseInteger(Text(h), value)) {
            AfxMessageBox(std::is_signed_v<T> ? "Please enter an integer."
                                              : "Please enter a positive integer.",
                          MB_ICONEXCLAMATION);
            pDX->Fail();
        }
    } else {
        CString s;
        if constexpr (std::is_signed_v<T>)
            s.Format("%lld", static_cast<long long>(value));
        else
            s.Format("%llu", static_cast<unsigned long long>(value));
        ::SetWindowText(h, s);
    }
}

// A value a control keeps behind one message that reads it and one that sets it.
void Exchange(CDataExchange* pDX, int nIDC, int& value, UINT nGet, UINT nSet) {
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessage(h, nGet, 0, 0));
    else
        ::SendMessage(h, nSet, static_cast<WPARAM>(value), 0);
}

} // namespace

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd != nullptr)
        return;
    HWND h = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(h))
        AfxThrowNotSupportedException(); // the control has an object of its own already
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = Text(h);
    else
        ::SetWindowText(h, value);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    Integer(pDX, nIDC, value);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
    Integer(pDX, nIDC, value);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, long& value) {
    Integer(pDX, nIDC, value);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        CString text = Text(h);
        text.Trim();
        char* end = nullptr;
        errno = 0;
        const double v = text.IsEmpty() ? 0.0 : std::strtod(text, &end);
        if (text.IsEmpty() || errno != 0 || end == nullptr || *end != '\0' || !std::isfinite(v)) {
            AfxMessageBox("Please enter a number.", MB_ICONEXCLAMATION);
            pDX->Fail();
        }
        value = v;
    } else {
        CString s;
        s.Format("%.15g", value);
        ::SetWindowText(h, s);
    }
}

void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    Exchange(pDX, nIDC, value, BM_GETCHECK, BM_SETCHECK);
}

void AFXAPI DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    int index = 0;
    do {
        if (::SendMessage(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (pDX->m_bSaveAndValidate) {
                if (::SendMessage(h, BM_GETCHECK, 0, 0) != 0)
                    value = index;
            } else {
                ::SendMessage(h, BM_SETCHECK, index == value, 0);
            }
            ++index;
        }
        h = ::GetWindow(h, GW_HWNDNEXT);
    } while (h != nullptr && !(::GetWindowLong(h, GWL_STYLE) & WS_GROUP));
}

void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    Exchange(pDX, nIDC, index, CB_GETCURSEL, CB_SETCURSEL);
}

void AFXAPI DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
    Exchange(pDX, nIDC, index, LB_GETCURSEL, LB_SETCURSEL);
}

void AFXAPI DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = Text(h);
    } else if (::SendMessage(h, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(value))) == CB_ERR) {
        ::SetWindowText(h, value);
    }
}

void AFXAPI DDX_LBString(CDataExchange* pDX, int nIDC, CString& value) {
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value.Empty();
        const int sel = static_cast<int>(::SendMessage(h, LB_GETCURSEL, 0, 0));
        if (sel != LB_ERR) {
            const int n = static_cast<int>(::SendMessage(h, LB_GETTEXTLEN, sel, 0));
            ::SendMessage(h, LB_GETTEXT, sel, reinterpret_cast<LPARAM>(value.GetBuffer(n)));
            value.ReleaseBuffer();
        }
    } else {
        ::SendMessage(h, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                      reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(value)));
    }
}

void AFXAPI DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
    if (pDX->m_bSaveAndValidate && value.GetLength() > nChars) {
        CString msg;
        msg.Format("Please enter no more than %d characters.", nChars);
        AfxMessageBox(msg, MB_ICONEXCLAMATION);
        pDX->Fail();
    } else if (!pDX->m_bSaveAndValidate && pDX->m_hWndLastControl != nullptr &&
               pDX->m_bEditLastControl) {
        ::SendMessage(pDX->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
    }
}

void AFXAPI DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    CString msg;
    msg.Format("Please enter an integer between %d and %d.", minVal, maxVal);
    AfxMessageBox(msg, MB_ICONEXCLAMATION);
    pDX->Fail();
}
