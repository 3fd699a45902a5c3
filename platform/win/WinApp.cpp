#include "platform/win/WinApp.h"

#include "platform/win/DocTemplate.h"
#include "platform/win/Document.h"
#include "platform/win/ListPosition.h"
#include "platform/win/Wnd.h"

#include <algorithm>
#include <memory>

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
END_MESSAGE_MAP()

namespace {

CWinApp* g_pApp = nullptr;
int g_waitBegins = 0;
int g_waitMaxDepth = 0;

CString ProgramTitle() {
    CString name = AfxGetModuleFileName(AfxGetInstanceHandle());
    int slash = name.ReverseFind('/');
    if (slash >= 0)
        name = name.Mid(slash + 1);
    int dot = name.ReverseFind('.');
    if (dot > 0)
        name = name.Left(dot);
    return name;
}

} // namespace

CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_pszAppName(nullptr), m_pszExeName(nullptr), m_hInstance(AfxGetInstanceHandle()),
      m_lpCmdLine(nullptr), m_nCmdShow(SW_SHOWNORMAL), m_nWaitCursorCount(0),
      m_hcurWaitCursorRestore(nullptr), m_bRealWindows(FALSE) {
    m_strExeName = ProgramTitle();
    m_strAppName = lpszAppName != nullptr ? CString(lpszAppName) : m_strExeName;
    m_pszAppName = m_strAppName;
    m_pszExeName = m_strExeName;
    g_pApp = this;
}

CWinApp::~CWinApp() {
    for (CDocTemplate* pTemplate : m_templates)
        delete pTemplate;
    m_templates.clear();
    if (g_pApp == this)
        g_pApp = nullptr;
}

CWinApp* AFXAPI AfxGetApp() {
    if (g_pApp == nullptr) {
        // A program without an application object of its own (a test, a tool) gets one.
        static std::unique_ptr<CWinApp> fallback;
        if (!fallback)
            fallback = std::make_unique<CWinApp>();
        g_pApp = fallback.get();
    }
    return g_pApp;
}

CWinApp* KelGetAppIfAny() {
    return g_pApp;
}

LPCTSTR AFXAPI AfxGetAppName() {
    return AfxGetApp()->m_pszAppName;
}

BOOL CWinApp::InitApplication() {
    return TRUE;
}
BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return static_cast<int>(m_msgCur.wParam);
}

int CWinApp::Run() {
    // Without a main window there is nothing to run.
    if (m_pMainWnd == nullptr)
        AfxPostQuitMessage(0);
    return CWinThread::Run();
}

BOOL CWinApp::OnIdle(LONG lCount) {
    CWinThread::OnIdle(lCount);
    return lCount < 1;
}

// ---------------------------------------------------------------------------
// Wait cursor.

void CWinApp::DoWaitCursor(int nCode) {
    m_nWaitCursorCount += nCode;
    if (nCode > 0) {
        ++g_waitBegins;
        g_waitMaxDepth = std::max(g_waitMaxDepth, m_nWaitCursorCount);
    }
    if (m_nWaitCursorCount > 0) {
        HCURSOR hcurPrev = ::SetCursor(LoadStandardCursor(IDC_WAIT));
        if (nCode > 0 && m_nWaitCursorCount == 1)
            m_hcurWaitCursorRestore = hcurPrev;
    } else {
        // More ends than begins leave the count at 0.
        m_nWaitCursorCount = 0;
        ::SetCursor(m_hcurWaitCursorRestore);
    }
}

KelWaitCursorStats KelGetWaitCursorStats() {
    return KelWaitCursorStats{AfxGetApp()->m_nWaitCursorCount, g_waitBegins, g_waitMaxDepth};
}

void KelResetWaitCursorStats() {
    g_waitBegins = 0;
    g_waitMaxDepth = 0;
}

HCURSOR CWinApp::LoadCursor(LPCTSTR lpszResourceName) const {
    return ::LoadCursor(AfxFindResourceHandle(lpszResourceName, RT_CURSOR), lpszResourceName);
}

HCURSOR CWinApp::LoadCursor(UINT nIDResource) const {
    return LoadCursor(MAKEINTRESOURCE(nIDResource));
}

HCURSOR CWinApp::LoadStandardCursor(LPCTSTR lpszCursorName) const {
    return ::LoadCursor(nullptr, lpszCursorName);
}

HICON CWinApp::LoadIcon(LPCTSTR lpszResourceName) const {
    return ::LoadIcon(AfxFindResourceHandle(lpszResourceName, RT_ICON), lpszResourceName);
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return LoadIcon(MAKEINTRESOURCE(nIDResource));
}

HICON CWinApp::LoadStandardIcon(LPCTSTR lpszIconName) const {
    return ::LoadIcon(nullptr, lpszIconName);
}

// ---------------------------------------------------------------------------
// Message boxes.

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt) {
    // The framework adds an icon by the kind of buttons when the caller gave none.
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            nType |= MB_ICONEXCLAMATION;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            nType |= MB_ICONQUESTION;
            break;
        default:
            break;
        }
    }
    HWND hWndOwner = ::GetActiveWindow();
    if (hWndOwner == nullptr && m_pMainWnd != nullptr)
        hWndOwner = m_pMainWnd->m_hWnd;
    return KelShowMessageBox(hWndOwner, lpszPrompt, m_pszAppName, nType, nIDPrompt);
}

int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp) {
    return AfxGetApp()->DoMessageBox(lpszText ? lpszText : "", nType, nIDHelp);
}

int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    CString text;
    text.LoadString(nIDPrompt); // a missing string shows an empty box, as the framework's does
    if (nIDHelp == static_cast<UINT>(-1))
        nIDHelp = nIDPrompt;
    return AfxGetApp()->DoMessageBox(text, nType, nIDHelp);
}

// ---------------------------------------------------------------------------
// Documents.

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate) {
    if (pTemplate != nullptr &&
        std::find(m_templates.begin(), m_templates.end(), pTemplate) == m_templates.end())
        m_templates.push_back(pTemplate);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const {
    return kel::win::FirstPosition(m_templates);
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const {
    return kel::win::NextAt(m_templates, pos);
}

CDocument* CWinApp::OpenDocumentFile(LPCTSTR lpszFileName) {
    if (m_templates.empty())
        return nullptr;
    return m_templates.front()->OpenDocumentFile(lpszFileName);
}

void CWinApp::OnFileNew() {
    if (!m_templates.empty())
        m_templates.front()->OpenDocumentFile(nullptr);
}

BOOL CWinApp::SaveAllModified() {
    for (CDocTemplate* pTemplate : m_templates) {
        if (!pTemplate->SaveAllModified())
            return FALSE;
    }
    return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession) {
    for (CDocTemplate* pTemplate : m_templates)
        pTemplate->CloseAllDocuments(bEndSession);
}

int AFXAPI AfxWinMain(HINSTANCE, HINSTANCE, LPTSTR lpCmdLine, int nCmdShow) {
    CWinApp* pApp = AfxGetApp();
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    if (!pApp->InitApplication() || !pApp->InitInstance()) {
        if (pApp->m_pMainWnd != nullptr)
            pApp->m_pMainWnd->DestroyWindow();
        return pApp->ExitInstance();
    }
    return pApp->Run();
}
