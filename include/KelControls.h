// The controls companion: the grid's header and scroll bars, no-focus and image buttons,
// coloured, in-place and date edits, the toolbar with image modes, and FillComboBox.
#pragma once

#include "afxwin.h"
#include "afxcmn.h"
#include "afxext.h"
#include "afxdisp.h"

#include "companions/controls/ExHeaderCtrl.h"
#include "companions/controls/ExScrollBar.h"
#include "companions/controls/NoFocusButton.h"
#include "companions/controls/ExEdit.h"
#include "companions/controls/KillEdit.h"
#include "companions/controls/DateEdit.h"
#include "companions/controls/ExButton.h"
#include "companions/controls/ExToolBar.h"
#include "companions/controls/FillComboBox.h"
