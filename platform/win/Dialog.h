// CDialog: a dialog built from a template of the resource chain, modal (DoModal: the owner
// disabled, a loop of its own) or modeless (Create); data exchange with its controls.
#pragma once

#include "platform/win/DialogDefs.h"
#include "platform/win/DialogTemplate.h"
#include "platform/win/Wnd.h"

class CDataExchange;

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    ~CDialog() override;

    // Modeless: FALSE when the template is missing or the dialog could not be made (a dialog
    // that deletes itself when its window goes may then be gone).
    virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    virtual BOOL CreateIndirect(const KelDialogTemplate* lpDialogTemplate, CWnd* pParentWnd = NULL);
    // Modal: the result given to EndDialog; -1 when the dialog could not be made.
    BOOL InitModalIndirect(const KelDialogTemplate* lpDialogTemplate, CWnd* pParentWnd = NULL);
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    virtual void OnSetFont(CFont* pFont);

    // Data exchange between the members and the controls (DoDataExchange with DDX_ calls).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);

    // The focus and the default button.
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* pWndCtrl);
    void SetDefID(UINT nID);
    DWORD GetDefID() const;
    void MapDialogRect(LPRECT lpRect) const;

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    virtual void OnOK();
    virtual void OnCancel();
    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT HandleSetFont(WPARAM wParam, LPARAM lParam);

    // The template and where it is found.
    const KelDialogTemplate* FindTemplate(HINSTANCE& hInst) const;
    BOOL CreateDlgIndirect(const KelDialogTemplate* lpTemplate, CWnd* pParentWnd, HINSTANCE hInst,
                           bool hidden);

    LPCTSTR m_lpszTemplateName;
    const KelDialogTemplate* m_lpDialogTemplate;
    CWnd* m_pParentWnd;
    UINT m_nIDHelp;

    DECLARE_MESSAGE_MAP()
};
