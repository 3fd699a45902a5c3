// CWinApp: the application object (one per program, or a default one the library makes when
// the program has none): its name, the wait cursor, message boxes, document templates, the
// loop.
#pragma once

#include "platform/core/String.h"
#include "platform/win/WinThread.h"

#include <vector>

class CDocTemplate;
class CDocument;

class CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
public:
    // The object becomes the application (AfxGetApp) for its lifetime.
    explicit CWinApp(LPCTSTR lpszAppName = NULL);
    ~CWinApp() override;

    LPCTSTR m_pszAppName; // the title of message boxes and frames
    LPCTSTR m_pszExeName;
    HINSTANCE m_hInstance;
    LPTSTR m_lpCmdLine;
    int m_nCmdShow;
    int m_nWaitCursorCount; // > 0 while the wait cursor is shown
    HCURSOR m_hcurWaitCursorRestore;
    // Show real windows when a display is there (set before the first window is created);
    // KELRS_REAL_WINDOWS=1 does the same. Tests stay headless.
    BOOL m_bRealWindows;

    virtual BOOL InitApplication();
    BOOL InitInstance() override;
    int ExitInstance() override;
    int Run() override;
    BOOL OnIdle(LONG lCount) override;

    // The message box of AfxMessageBox.
    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);
    // nCode 1 begins the wait cursor, -1 ends it, 0 shows it again after something changed
    // the cursor. Calls nest; the cursor returns when the count is back at 0.
    virtual void DoWaitCursor(int nCode);

    HCURSOR LoadCursor(LPCTSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const;
    HICON LoadIcon(LPCTSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadStandardIcon(LPCTSTR lpszIconName) const;

    // Document templates: owned by the application from AddDocTemplate on.
    void AddDocTemplate(CDocTemplate* pTemplate);
    POSITION GetFirstDocTemplatePosition() const;
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
    // A new document of the first template, opened from lpszFileName (NULL: a new one).
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
    afx_msg void OnFileNew();
    void CloseAllDocuments(BOOL bEndSession);
    BOOL SaveAllModified();

protected:
    CString m_strAppName;
    CString m_strExeName;
    std::vector<CDocTemplate*> m_templates;

    DECLARE_MESSAGE_MAP()
};

// The application: the program's CWinApp, or the library's default one.
CWinApp* AFXAPI AfxGetApp();
// The program's application object without making the default one; NULL when there is none.
CWinApp* KelGetAppIfAny();
LPCTSTR AFXAPI AfxGetAppName();
// The framework's program body: InitApplication, InitInstance, Run.
int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);

// What tests see of the wait cursor: the current depth, how often it began, its deepest
// nesting, since the last reset.
struct KelWaitCursorStats {
    int nDepth;
    int nBegins;
    int nMaxDepth;
};
KelWaitCursorStats KelGetWaitCursorStats();
void KelResetWaitCursorStats();
