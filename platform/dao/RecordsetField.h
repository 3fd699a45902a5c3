// One field of an open recordset as the data-access classes keep it.
// Private to the data-access classes.
#pragma once

#include "platform/dao/FieldValue.h"

#include <string>

namespace kel::dao {

struct RecordsetField {
    std::string name;       // as the recordset shows it: alias, column, Expr1000, Table.Field
    std::string source;     // the alias or table the statement reads it through; empty if none
    bool qualified = false; // name is source.column, to tell it from a namesake
    DaoType type;           // type 0 until a value decides (expressions, untyped columns)
    bool expression = false;
    bool required = false;
    bool autoIncrement = false;
    bool rowidAlias = false; // the table's INTEGER PRIMARY KEY
    bool updatable = false;
    std::string sourceTable;
    std::string sourceField;
    std::string defaultValue; // SQL text of the column's default
    std::string expr;         // the field in terms of the base table (keyed dynasets)
    std::string storedName;   // its column in a materialised copy
};

} // namespace kel::dao
