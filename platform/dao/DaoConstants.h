// The data-access classes' constants under their framework names: open types and options,
// field types and attributes, information levels, find directions, edit and locking modes.
#pragma once

#include "platform/core/Types.h"

#include <climits>

// Recordset types.
#define dbOpenTable 1
#define dbOpenDynaset 2
#define dbOpenSnapshot 4
#define dbOpenForwardOnly 8
#define dbOpenDynamic 16
#define AFX_DAO_USE_DEFAULT_TYPE (-1)

// Recordset and Execute options.
#define dbDenyWrite 0x1
#define dbDenyRead 0x2
#define dbReadOnly 0x4
#define dbAppendOnly 0x8
#define dbInconsistent 0x10
#define dbConsistent 0x20
#define dbSQLPassThrough 0x40
#define dbFailOnError 0x80
#define dbForwardOnly 0x100
#define dbSeeChanges 0x200
#define dbRunAsync 0x400
#define dbExecDirect 0x800

// Field types (CDaoFieldInfo::m_nType).
#define dbBoolean 1
#define dbByte 2
#define dbInteger 3
#define dbLong 4
#define dbCurrency 5
#define dbSingle 6
#define dbDouble 7
#define dbDate 8
#define dbBinary 9
#define dbText 10
#define dbLongBinary 11
#define dbMemo 12
#define dbGUID 15

// Field attributes (CDaoFieldInfo::m_lAttributes) and the index field flag.
#define dbFixedField 0x1
#define dbVariableField 0x2
#define dbAutoIncrField 0x10
#define dbUpdatableField 0x20
#define dbSystemField 0x2000
#define dbHyperlinkField 0x8000
#define dbDescending 0x1

// How much GetFieldInfo / GetIndexInfo fill in.
#define AFX_DAO_PRIMARY_INFO 0x00000001
#define AFX_DAO_SECONDARY_INFO 0x00000002
#define AFX_DAO_ALL_INFO 0x00000003

// Find directions.
#define AFX_DAO_NEXT (+1)
#define AFX_DAO_PREV (-1)
#define AFX_DAO_FIRST LONG_MIN
#define AFX_DAO_LAST LONG_MAX

// Edit modes (GetEditMode).
#define dbEditNone 0
#define dbEditInProgress 1
#define dbEditAdd 2

// Locking (the value SetLockingMode's BOOL stands for).
#define dbPessimistic 2
#define dbOptimistic 3

// CDaoException::m_nAfxDaoError: failures of the classes themselves rather than the engine.
#define NO_AFX_DAO_ERROR 0
#define AFX_DAO_ERROR_MIN 2000
#define AFX_DAO_ERROR_ENGINE_INITIALIZATION 2000
#define AFX_DAO_ERROR_DFX_BIND 2001
#define AFX_DAO_ERROR_OBJECT_NOT_OPEN 2002
#define AFX_DAO_ERROR_MAX 2002
