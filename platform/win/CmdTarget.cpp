#include "platform/win/CmdTarget.h"

#include "platform/win/WinApp.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMsg, UINT nCode,
                                            UINT nID) {
    for (; lpEntry->nMessage != 0 || lpEntry->pfn != nullptr; ++lpEntry) {
        // A registered message's entry stands for the value its variable holds.
        const UINT nEntryMsg =
            lpEntry->pnRegistered != nullptr ? *lpEntry->pnRegistered : lpEntry->nMessage;
        if (nEntryMsg == nMsg && lpEntry->nCode == nCode && nID >= lpEntry->nID &&
            nID <= lpEntry->nLastID)
            return lpEntry;
    }
    return nullptr;
}

BOOL CCmdTarget::DispatchCmdMsg(CCmdTarget* pTarget, UINT nID, int nCode, void* pExtra,
                                const AFX_MSGMAP_ENTRY* pEntry) {
    AFX_MSG_CALL call{pEntry->nMessage, 0, 0, nID, static_cast<UINT>(nCode), pExtra, 0};
    return pEntry->pfn(pTarget, call);
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    // Commands carry the message in the high word of nCode (WM_NOTIFY, reflected ones);
    // plain commands and update requests have none.
    UINT nMsg = 0;
    UINT nKey = static_cast<UINT>(nCode);
    if (nKey != CN_UPDATE_COMMAND_UI) {
        nMsg = HIWORD(nKey);
        nKey = LOWORD(nKey);
    }
    if (nMsg == 0)
        nMsg = WM_COMMAND;

    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != nullptr;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        const AFX_MSGMAP_ENTRY* pEntry = AfxFindMessageEntry(pMap->lpEntries, nMsg, nKey, nID);
        if (pEntry == nullptr)
            continue;
        if (pHandlerInfo != nullptr) {
            pHandlerInfo->pTarget = this;
            pHandlerInfo->pEntry = pEntry;
            return TRUE;
        }
        return DispatchCmdMsg(this, nID, static_cast<int>(nKey), pExtra, pEntry);
    }
    return FALSE;
}

void CCmdTarget::BeginWaitCursor() {
    AfxGetApp()->DoWaitCursor(1);
}
void CCmdTarget::EndWaitCursor() {
    AfxGetApp()->DoWaitCursor(-1);
}
void CCmdTarget::RestoreWaitCursor() {
    AfxGetApp()->DoWaitCursor(0);
}
