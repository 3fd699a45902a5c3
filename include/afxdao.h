// The data-access classes: CDaoDatabase, CDaoRecordset, their information records and
// CDaoException, over SQLite in the Jet SQL dialect.
#pragma once

#include "afx.h"
#include "afxdisp.h"
#include "platform/dao/DaoConstants.h"
#include "platform/dao/DaoErrorInfo.h"
#include "platform/dao/DaoException.h"
#include "platform/dao/DaoFieldInfo.h"
#include "platform/dao/DaoIndexFieldInfo.h"
#include "platform/dao/DaoIndexInfo.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoRecordset.h"
