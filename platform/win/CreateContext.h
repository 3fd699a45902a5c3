// CCreateContext: what a frame needs to make its view: the view's class, the document, the
// template.
#pragma once

#include "platform/core/Object.h"

class CDocTemplate;
class CDocument;
class CFrameWnd;
class CView;

struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};
