// CDocTemplate: how documents of one kind are made and shown: the document, frame and view
// classes and the resource ID of the frame (title, accelerators).
#pragma once

#include "platform/core/String.h"
#include "platform/win/CmdTarget.h"

#include <vector>

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)
public:
    enum DocStringIndex {
        windowTitle,
        docName,
        fileNewName,
        filterName,
        filterExt,
        regFileTypeId,
        regFileTypeName
    };

    ~CDocTemplate() override;

    virtual POSITION GetFirstDocPosition() const;
    virtual CDocument* GetNextDoc(POSITION& rPos) const;
    virtual void AddDocument(CDocument* pDoc);
    virtual void RemoveDocument(CDocument* pDoc);
    // Part nIndex of the template's resource string (parts are separated by newlines).
    virtual BOOL GetDocString(CString& rString, enum DocStringIndex index) const;

    virtual CDocument* CreateNewDocument();
    // A frame for the document, with its view, not yet shown; NULL on failure.
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL bEndSession);
    // A document made and shown: opened from lpszPathName, or new when it is NULL. The path
    // travels to OnOpenDocument as given (a document may read something else in it).
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
    virtual void SetDefaultTitle(CDocument* pDocument);
    virtual void LoadTemplate();

    UINT m_nIDResource;
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;
    HACCEL m_hAccelTable; // the frames' accelerators, when the resources have them
    CString m_strDocStrings;

protected:
    CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                 CRuntimeClass* pViewClass);

    std::vector<CDocument*> m_docList;
    UINT m_nUntitledCount;
};
