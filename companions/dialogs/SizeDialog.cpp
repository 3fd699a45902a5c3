#include "companions/dialogs/SizeDialog.h"

#include <algorithm>

CSizeDialog::CSizeDialog() : m_pDialog(nullptr) {}

void CSizeDialog::Set(CWnd* pDialog) {
    m_pDialog = pDialog;
    m_controls.clear();
}

BOOL CSizeDialog::Add(UINT nID, int nLeft, int nTop, int nRight, int nBottom) {
    if (m_pDialog == nullptr || m_pDialog->GetSafeHwnd() == NULL)
        return FALSE;
    const int codes[4] = {nLeft, nTop, nRight, nBottom};
    for (int code : codes) {
        if (code != SIZE_ANCHOR_NEAR && code != SIZE_ANCHOR_FAR)
            return FALSE;
    }
    CWnd* pCtrl = m_pDialog->GetDlgItem(static_cast<int>(nID));
    if (pCtrl == nullptr)
        return FALSE;
    CRect client, rc;
    m_pDialog->GetClientRect(&client);
    pCtrl->GetWindowRect(&rc);
    m_pDialog->ScreenToClient(&rc);
    const int edges[4] = {rc.left, rc.top, rc.right, rc.bottom};
    const int extent[4] = {client.Width(), client.Height(), client.Width(), client.Height()};
    Control c{nID, {}, {}};
    for (int i = 0; i < 4; ++i) {
        c.anCode[i] = codes[i];
        c.anDistance[i] = codes[i] == SIZE_ANCHOR_NEAR ? edges[i] : extent[i] - edges[i];
    }
    auto it = std::find_if(m_controls.begin(), m_controls.end(),
                           [nID](const Control& x) { return x.nID == nID; });
    if (it != m_controls.end())
        *it = c;
    else
        m_controls.push_back(c);
    return TRUE;
}

void CSizeDialog::Resize(int cx, int cy) {
    if (m_pDialog == nullptr || m_pDialog->GetSafeHwnd() == NULL || m_controls.empty())
        return;
    HDWP hdwp = ::BeginDeferWindowPos(static_cast<int>(m_controls.size()));
    const int extent[4] = {cx, cy, cx, cy};
    for (const Control& c : m_controls) {
        HWND hCtrl = ::GetDlgItem(m_pDialog->GetSafeHwnd(), static_cast<int>(c.nID));
        if (hCtrl == NULL)
            continue; // gone since it was added
        int edge[4];
        for (int i = 0; i < 4; ++i)
            edge[i] =
                c.anCode[i] == SIZE_ANCHOR_NEAR ? c.anDistance[i] : extent[i] - c.anDistance[i];
        const int width = std::max(0, edge[2] - edge[0]);
        const int height = std::max(0, edge[3] - edge[1]);
        if (hdwp != NULL)
            hdwp = ::DeferWindowPos(hdwp, hCtrl, NULL, edge[0], edge[1], width, height,
                                    SWP_NOZORDER | SWP_NOACTIVATE);
        else
            ::SetWindowPos(hCtrl, NULL, edge[0], edge[1], width, height,
                           SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (hdwp != NULL)
        ::EndDeferWindowPos(hdwp);
}
