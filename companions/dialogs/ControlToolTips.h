// Inside the dialogs companion: tooltips taken from the string table. Not a public header.
#pragma once

#include "afxcmn.h"

// Adds to tip a tool for every child window of pParent whose control ID has a string;
// answers how many.
int KelAddControlToolTips(CToolTipCtrl& tip, CWnd* pParent);

// Hands the tooltip the mouse messages it needs to know when to show.
void KelRelayToolTip(CToolTipCtrl& tip, MSG* pMsg);
