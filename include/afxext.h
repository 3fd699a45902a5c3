// Control bars: toolbars, dialog bars and the docking of bars in frames.
#pragma once

#include "afxcmn.h"
#include "afxwin.h"

#include "platform/win/ControlBar.h"
#include "platform/win/DockBar.h"
#include "platform/win/ToolBarResource.h"
#include "platform/win/ToolBar.h"
#include "platform/win/DialogBar.h"
