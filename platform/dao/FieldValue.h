// Field types from declared column types, and the conversions between stored values and
// variants by the storage conventions (ISO date text, booleans -1/0, currency as a number
// with four decimals, binary as BLOB). Private to the data-access classes.
#pragma once

#include "platform/core/OleVariant.h"
#include "platform/dao/engines/EngineValue.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kel::dao {

struct DaoType {
    short type = 0; // dbBoolean ... dbMemo; 0 when the declaration says nothing
    long size = 0;
};

DaoType DaoTypeFromDeclaration(std::string_view declared);
// The type an expression column takes from one of its values.
DaoType DaoTypeFromValue(EngineValue::Kind kind, std::int64_t integer);
// The size a field of a fixed-size type reports.
long FixedSize(short type);

// One stored value, copied out of a statement so that no read stays open.
using Cell = EngineValue;

// out becomes a byte array (VT_ARRAY | VT_UI1) holding bytes.
void SetBytes(COleVariant& out, std::string_view bytes);

// The variant a field of the given type shows for a stored value.
void CellToVariant(const Cell& cell, short daoType, COleVariant& out);

// Converts a value given for a field of the given type and size into what is stored.
// 0 on success, else the error code: 3421 (not convertible), 3349 (out of range), 3163 (too
// long for the field).
long VariantToCell(const VARIANT& value, short daoType, long size, Cell& out);

} // namespace kel::dao
