#include "companions/dialogs/ControlToolTips.h"

#include "companions/controls/CommandTip.h"

int KelAddControlToolTips(CToolTipCtrl& tip, CWnd* pParent) {
    if (tip.GetSafeHwnd() == NULL || pParent == nullptr || pParent->GetSafeHwnd() == NULL)
        return 0;
    int added = 0;
    for (CWnd* pChild = pParent->GetWindow(GW_CHILD); pChild != nullptr;
         pChild = pChild->GetNextWindow()) {
        const int id = pChild->GetDlgCtrlID();
        if (id <= 0 || id == 0xFFFF)
            continue; // statics without an ID of their own
        const CString text = KelCommandTip(static_cast<UINT>(id));
        if (!text.IsEmpty() && tip.AddTool(pChild, text))
            ++added;
    }
    return added;
}

void KelRelayToolTip(CToolTipCtrl& tip, MSG* pMsg) {
    if (tip.GetSafeHwnd() != NULL && pMsg != nullptr && pMsg->message >= WM_MOUSEFIRST &&
        pMsg->message <= WM_MOUSELAST)
        tip.RelayEvent(pMsg);
}
