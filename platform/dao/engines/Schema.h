// What an engine says about one table or view: its fields, keys and indexes, in the terms a
// keyset cursor over the table needs. Private to the data-access classes.
#pragma once

#include <string>
#include <vector>

namespace kel::dao {

struct FieldDescription {
    std::string name;
    std::string declaredType;   // as the engine declares it: "TEXT(20)", "numeric(12,2)"
    short daoType = 0;          // dbBoolean ... dbMemo; 0 when the engine's type says nothing
    long size = 0;              // the DAO size: characters of a text field, bytes otherwise
    bool required = false;      // NOT NULL
    std::string defaultValue;   // the engine's expression, empty when there is none
    bool autoIncrement = false; // identity, serial, AUTOINCREMENT or SQLite's row number
    bool writable = true;       // a value may be given (not an identity GENERATED ALWAYS)
    bool rowNumber = false;     // the engine's own row number (SQLite's INTEGER PRIMARY KEY)
    bool generated = false;     // computed from other fields: never written
    // A server's column of a character type (text, varchar, char) or of boolean itself, not of
    // a domain over one: its comparisons with literals follow Jet's text or Yes/No rules.
    bool characterType = false;
    bool booleanType = false;
};

struct IndexDescription {
    std::string name;
    bool unique = false;
    bool primary = false;
    bool partial = false;            // has a WHERE clause: no use as a key
    std::vector<std::string> fields; // in key order; an expression part is an empty name
    std::vector<bool> descending;    // for each of fields
    bool expression = false;         // some part is an expression rather than a field
};

struct SchemaDescription {
    std::string name;
    std::string database; // where the engine found it: SQLite's "main", "temp" or attached name
    bool view = false;
    bool updatable = false; // a table this connection may change (views never are)
    bool hasRowId = false;  // SQLite's rowid exists (not WITHOUT ROWID, virtual or a view)
    std::vector<FieldDescription> fields;
    std::vector<std::string> primaryKey; // in key order
    std::vector<IndexDescription> indexes;

    const FieldDescription* Find(const std::string& field) const {
        for (const FieldDescription& f : fields)
            if (f.name == field)
                return &f;
        return nullptr;
    }
};

} // namespace kel::dao
