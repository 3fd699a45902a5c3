// CDocument: the data of a document/view pair: its title and file, the modified flag, its
// life cycle (new, open, save, close) and the views that show it.
#pragma once

#include "platform/core/Exception.h"
#include "platform/core/String.h"
#include "platform/win/CmdTarget.h"

#include <vector>

class CArchive;
class CDocTemplate;
class CFile;
class CFrameWnd;
class CView;

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument();
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(LPCTSTR lpszTitle);
    const CString& GetPathName() const { return m_strPathName; }
    virtual void SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU = TRUE);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

    // Views.
    void AddView(CView* pView);
    void RemoveView(CView* pView);
    virtual POSITION GetFirstViewPosition() const;
    virtual CView* GetNextView(POSITION& rPosition) const;
    // Tells every view but pSender that the document changed (CView::OnUpdate).
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0L, CObject* pHint = NULL);

    // Life cycle.
    virtual void DeleteContents();
    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(LPCTSTR lpszPathName);
    virtual BOOL OnSaveDocument(LPCTSTR lpszPathName);
    // Destroys the frames of its views, empties the document and, when m_bAutoDelete, deletes
    // it.
    virtual void OnCloseDocument();
    virtual void Serialize(CArchive& ar);
    virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
    // Asks the user whether to save a modified document; FALSE when the user cancels.
    virtual BOOL SaveModified();
    virtual void PreCloseFrame(CFrameWnd* pFrame);
    virtual void OnChangedViewList();
    virtual void UpdateFrameCounts();
    virtual BOOL DoSave(LPCTSTR lpszPathName, BOOL bReplace = TRUE);
    virtual BOOL DoFileSave();
    virtual void ReportSaveLoadException(LPCTSTR lpszPathName, CException* e, BOOL bSaving,
                                         UINT nIDPDefault);
    virtual void OnIdle() {}

    // Commands reach the document, then its template.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    BOOL m_bAutoDelete; // deleted when its last view goes
    BOOL m_bEmbedded;

protected:
    CString m_strTitle;
    CString m_strPathName;
    CDocTemplate* m_pDocTemplate;
    std::vector<CView*> m_viewList;
    BOOL m_bModified;

    friend class CDocTemplate;

    DECLARE_MESSAGE_MAP()
};
