// Every exported class of the library. A host includes <afxwin.h>, <afxdao.h> and this.
#pragma once

#include "afx.h"
#include "afxtempl.h"
#include "afxdisp.h"

#include "records/AdvSearch.h"
#include "records/ColumnDetails.h"
#include "records/JetLiteral.h"
#include "records/RecordsetLoad.h"
#include "document/RecordsetDoc.h"
#include "grid/RecordsetCtrl.h"
#include "grid/RecordsetCtrlDlg.h"
#include "dialogs/RecordsetDlg.h"
#include "grid/AdvSearchDlg.h"
#include "dialogs/RecordsetView.h"
