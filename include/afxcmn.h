// The common controls: header, tooltip, toolbar control and image lists.
#pragma once

#include "afxwin.h"

#include "platform/gdi/ImageList.h"

#include "platform/controls/CommCtrlDefs.h"
#include "platform/controls/HeaderCtrl.h"
#include "platform/controls/ToolTipCtrl.h"
#include "platform/controls/ToolBarCtrl.h"
