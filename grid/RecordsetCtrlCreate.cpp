// The grid's child windows, created with the window, and the settings written when it goes.
#include "grid/RecordsetCtrl.h"

#include "companions/settings/AppRegistry.h"
#include "companions/settings/Registry.h"
#include "resources/LibraryModule.h"

#include <algorithm>

namespace {

// Styles of the children, as the grid has always created them.
constexpr DWORD kHeaderStyle = WS_CHILD | WS_VISIBLE | HDS_BUTTONS | HDS_DRAGDROP;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | BS_NOTIFY | BS_BITMAP;
constexpr DWORD kVScrollStyle = WS_CHILD | WS_VISIBLE | SBS_VERT;
constexpr DWORD kHScrollStyle = WS_CHILD | WS_VISIBLE | SBS_HORZ;

void LoadButton(CNoFocusButton& button, CBitmap& bitmap, UINT nBitmap, UINT nID, CWnd* pParent) {
    // The images are the library's own, whatever the host's modules hold.
    HBITMAP hBitmap =
        (HBITMAP)::LoadImage(GetModuleHandle(KELRSLIST_MODULE_NAME), MAKEINTRESOURCE(nBitmap),
                             IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS);
    if (hBitmap != NULL)
        bitmap.Attach(hBitmap);
    button.Create("", kButtonStyle, CRect(0, 0, 0, 0), pParent, nID);
    if (bitmap.GetSafeHandle() != NULL)
        button.SendMessage(BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)bitmap.GetSafeHandle());
}

} // namespace

int CRecordsetCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    BeginWaitCursor();
    if (CWnd::OnCreate(lpCreateStruct) == -1) {
        EndWaitCursor();
        return -1;
    }
    KelGetLibraryModule();

    m_wndHeader.Create(kHeaderStyle, CRect(0, 0, 0, 0), this, 0);
    m_wndHeader.SetHeight(m_nHeaderBitmapID != 0 ? 21 : 18);
    SetFonts();

    LoadButton(m_btnColumns, m_bmpColumns, KELRS_IDB_COLUMNS, IDC_RSC_COLUMNS, this);
    LoadButton(m_btnRefresh, m_bmpRefresh, KELRS_IDB_REFRESH, IDC_RSC_REFRESH, this);

    m_nHScrollHeight = std::max(::GetSystemMetrics(SM_CYHSCROLL), 16);
    m_nVScrollWidth = std::max(::GetSystemMetrics(SM_CXVSCROLL), 16);
    m_wndVScroll.Create(kVScrollStyle, CRect(0, 0, 0, 0), this, 0);
    m_wndHScroll.Create(kHScrollStyle, CRect(0, 0, 0, 0), this, 0);

    m_toolTip.Create(this);
    m_toolTip.Activate(TRUE);
    // Every child whose ID names a string gets it as its tooltip; the header its own text.
    for (CWnd* pChild = GetWindow(GW_CHILD); pChild != NULL;
         pChild = pChild->GetWindow(GW_HWNDNEXT)) {
        UINT nID = pChild->GetDlgCtrlID();
        CString strTip;
        if (nID != 0 && strTip.LoadString(nID))
            m_toolTip.AddTool(pChild, strTip);
    }
    CString strHeaderTip;
    strHeaderTip.LoadString(IDS_RSC_HEADERTIP);
    m_toolTip.AddTool(&m_wndHeader, strHeaderTip);

    PostMessage(WM_RSC_LOAD, 0, 0);
    EndWaitCursor();
    return 0;
}

void CRecordsetCtrl::OnDestroy() {
    // Whatever was typed is written while the grid still stands.
    EndPendingEdit();
    StopCounting();
    // The bar's edits belong to the host: give them back, or they would go with the grid.
    DetachDateEditors();
    // A grid that never loaded knows none of the user's choices: it leaves the stored ones.
    if (!m_strRegistryKey.IsEmpty() && m_arrayColumns.GetSize() > 0) {
        UpdateColumnDetails();
        CRegistry reg(AppRegistryRoot, AppRegistryPath + m_strRegistryKey);
        // The layout is stored whole, in one update: no half of it is ever on disk, and the
        // file is written once rather than once a value.
        reg.HoldWrites();
        reg.Write("ShowBackground", m_bShowBackground);
        for (int j = 0; j < m_arrayColumns.GetSize(); ++j) {
            const CColumnDetails& col = m_arrayColumns[j];
            if (col.m_nWidth == 0)
                continue;
            // Four digits each: the reader takes the numbers at positions 0, 5 and 10.
            CString strValue;
            strValue.Format("%04d %04d %04d", std::clamp((int)col.m_bVisible, 0, 9999),
                            std::clamp(col.m_nWidth, 0, 9999), std::clamp(col.m_nOrder, 0, 9999));
            reg.Write(col.m_strName, strValue);
        }
        reg.Write("SortByN", m_nSortByN);
        reg.Write("SortAsc", m_bSortDesc);
        reg.Write("SearchCol", m_nSearchCol);
        reg.Write("SearchOp", m_nSearchOp);
        reg.StoreHeldWrites();
    }
    CWnd::OnDestroy();
}
