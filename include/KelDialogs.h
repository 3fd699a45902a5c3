// The dialogs companion: dialog bases that keep their controls' state current, show tooltips
// and carry toolbars; the resizer of resizable dialogs; the dialog bar with tooltips.
#pragma once

#include "afxwin.h"
#include "afxcmn.h"
#include "afxext.h"

#include "companions/dialogs/ExDialog.h"
#include "companions/dialogs/ToolTipDialog.h"
#include "companions/dialogs/ToolBarDialog.h"
#include "companions/dialogs/SizeDialog.h"
#include "companions/dialogs/ExDialogBar.h"
