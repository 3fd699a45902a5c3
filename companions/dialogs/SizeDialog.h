// CSizeDialog: moves the controls of a resizable dialog when its size changes. Each control
// registered with Add names, for each of its edges (left, top, right, bottom), the side of the
// dialog the edge keeps its distance to: 1 the left or top side, 2 the right or bottom side.
// A control anchored 1, 1, 2, 2 stretches both ways; 1, 2, 1, 2 rides on the bottom edge;
// 2, 1, 2, 1 sticks to the top right corner. Distances are measured when the control is
// added, so any number of resizes, in any order, puts every control back where it belongs.
//
//   m_sizeDialog.Set(this);                    // in OnInitDialog
//   m_sizeDialog.Add(IDC_LIST, 1, 1, 2, 2);
//   m_sizeDialog.Add(IDOK, 2, 2, 2, 2);
//   ... OnSize(nType, cx, cy): m_sizeDialog.Resize(cx, cy);
#pragma once

#include "afxwin.h"

#include <vector>

#define SIZE_ANCHOR_NEAR 1 // the left or top side
#define SIZE_ANCHOR_FAR 2  // the right or bottom side

class CSizeDialog {
public:
    CSizeDialog();

    // Binds the resizer to the dialog and forgets the controls registered before.
    void Set(CWnd* pDialog);
    // FALSE (nothing registered) without a dialog, for an ID that names no child of it, or
    // for a code other than 1 and 2. A control registered again takes the new codes.
    BOOL Add(UINT nID, int nLeft, int nTop, int nRight, int nBottom);
    // Places the registered controls for a client area of cx by cy; an edge that would cross
    // the opposite one stops there (the control is then empty, not turned inside out).
    void Resize(int cx, int cy);

    int GetCount() const { return static_cast<int>(m_controls.size()); }
    CWnd* GetDialog() const { return m_pDialog; }

private:
    struct Control {
        UINT nID;
        int anCode[4];     // left, top, right, bottom
        int anDistance[4]; // from the side the code names
    };
    CWnd* m_pDialog;
    std::vector<Control> m_controls;
};
