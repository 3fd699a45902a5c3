// CCmdTarget: the base of every class that receives commands through a message map
// (windows, documents, the application), and the owner of the wait cursor.
#pragma once

#include "platform/core/Object.h"
#include "platform/win/MessageMap.h"

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    ~CCmdTarget() override = default;

    // Offers a command (nCode CN_COMMAND, a control notification code, CN_UPDATE_COMMAND_UI,
    // or MAKELONG(code, WM_NOTIFY)) to this object's message map and its bases. With
    // pHandlerInfo, only says whether a handler exists and fills pHandlerInfo.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // The application's wait cursor; calls nest and are counted.
    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // Calls the entry's handler for a command; the handler's verdict (FALSE: keep routing).
    static BOOL DispatchCmdMsg(CCmdTarget* pTarget, UINT nID, int nCode, void* pExtra,
                               const AFX_MSGMAP_ENTRY* pEntry);
};
