#include "platform/core/Exception.h"

#include <cstdio>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CInvalidArgException, CException)
IMPLEMENT_DYNAMIC(COleException, CException)

namespace {

AFX_REPORT_ERROR_HOOK g_reportHook = nullptr;

BOOL CopyMessage(LPCTSTR text, LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) {
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (lpszError && nMaxError > 0)
        lstrcpyn(lpszError, text, static_cast<int>(nMaxError));
    return TRUE;
}

} // namespace

void AfxSetReportErrorHook(AFX_REPORT_ERROR_HOOK pfn) {
    g_reportHook = pfn;
}

void CException::Delete() {
    if (m_bAutoDelete)
        delete this;
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) {
    CopyMessage("", lpszError, nMaxError, pnHelpContext);
    return FALSE; // no message of its own
}

int CException::ReportError(UINT nType, UINT nMessageID) {
    char text[512];
    CString message;
    if (GetErrorMessage(text, sizeof text))
        message = text;
    else if (nMessageID == 0 || !message.LoadString(nMessageID))
        message = "No error message is available.";
    if (g_reportHook)
        return g_reportHook(message, nType);
    std::fprintf(stderr, "%s\n", static_cast<LPCTSTR>(message));
    return 1; // IDOK
}

BOOL CMemoryException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) {
    return CopyMessage("Out of memory.", lpszError, nMaxError, pnHelpContext);
}

BOOL CNotSupportedException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                                             PUINT pnHelpContext) {
    return CopyMessage("Unsupported operation was attempted.", lpszError, nMaxError, pnHelpContext);
}

BOOL CInvalidArgException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) {
    return CopyMessage("Invalid argument.", lpszError, nMaxError, pnHelpContext);
}

BOOL COleException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) {
    LPCTSTR text = "OLE error.";
    switch (m_sc) {
    case DISP_E_TYPEMISMATCH:
        text = "Type mismatch.";
        break;
    case DISP_E_OVERFLOW:
        text = "Overflow.";
        break;
    case DISP_E_BADVARTYPE:
        text = "Bad variable type.";
        break;
    case E_OUTOFMEMORY:
        text = "Out of memory.";
        break;
    case E_INVALIDARG:
        text = "Invalid argument.";
        break;
    default:
        break;
    }
    return CopyMessage(text, lpszError, nMaxError, pnHelpContext);
}

void AfxThrowMemoryException() {
    throw new CMemoryException;
}
void AfxThrowNotSupportedException() {
    throw new CNotSupportedException;
}
void AfxThrowInvalidArgException() {
    throw new CInvalidArgException;
}
void AfxThrowOleException(SCODE sc) {
    throw new COleException(sc);
}
