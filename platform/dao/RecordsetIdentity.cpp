// The identity of the current record in its table: the stored values of the table's primary
// key (found when the recordset opened), or the row identity where the table has none. A host opens
// its own recordset on the record by these, so they are read from the table as stored, at full
// precision, whether or not the statement shows them.
#include "platform/dao/RecordsetState.h"

#include "platform/dao/Prepare.h"
#include "platform/dao/SqlLexer.h"

#include <limits>
#include <utility>

namespace kel::dao {

namespace {

// kel_identity(a, b, ...): a 32-bit FNV-1a check of the values with their storage classes, so
// that 1 and '1' differ.
void IdentityFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    std::uint32_t h = 2166136261u;
    auto mix = [&h](const unsigned char* p, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            h ^= p[i];
            h *= 16777619u;
        }
    };
    for (int i = 0; i < argc; ++i) {
        const unsigned char type = static_cast<unsigned char>(sqlite3_value_type(argv[i]));
        mix(&type, 1);
        switch (type) {
        case SQLITE_INTEGER: {
            const std::int64_t v = sqlite3_value_int64(argv[i]);
            mix(reinterpret_cast<const unsigned char*>(&v), sizeof v);
            break;
        }
        case SQLITE_FLOAT: {
            const double v = sqlite3_value_double(argv[i]);
            mix(reinterpret_cast<const unsigned char*>(&v), sizeof v);
            break;
        }
        case SQLITE_NULL:
            break;
        default: {
            const void* p = type == SQLITE_BLOB
                                ? sqlite3_value_blob(argv[i])
                                : static_cast<const void*>(sqlite3_value_text(argv[i]));
            mix(static_cast<const unsigned char*>(p),
                static_cast<size_t>(sqlite3_value_bytes(argv[i])));
            break;
        }
        }
    }
    sqlite3_result_int64(context, h);
}

} // namespace

void RecordsetState::RegisterIdentityFunction(sqlite3* db) {
    sqlite3_create_function_v2(db, "kel_identity", -1,
                               SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                               IdentityFunction, nullptr, nullptr, nullptr);
}

void RecordsetState::RecordKey(std::vector<std::string>& names, std::vector<COleVariant>& values) {
    if (materialised)
        ThrowDaoError(err::NotSupportedForType,
                      "The record has no identity of its own: the query does not read one table "
                      "with a key.",
                      kRecordset);
    Current(); // 3021 without a record, 3167 when it is gone
    const std::int64_t key = KeyAt(pos);
    names.clear();
    values.clear();

    if (primaryKey.empty()) {
        // No primary key: the row identity, which the keyset holds.
        names.push_back(rowidColumn);
        COleVariant v;
        if (key >= std::numeric_limits<LONG>::min() && key <= std::numeric_limits<LONG>::max()) {
            v = COleVariant(static_cast<long>(key), VT_I4);
        } else {
            v.vt = VT_I8; // all 64 bits
            v.llVal = key;
        }
        values.push_back(std::move(v));
        return;
    }

    std::string list;
    for (const KeyField& c : primaryKey)
        list += (list.empty() ? "" : ", ") + QuoteSqlName(c.name);
    SqliteStatement stmt;
    PrepareInternal(db(), stmt,
                    "SELECT " + list + " FROM " + target + " WHERE " + rowidColumn + " = ?1",
                    kRecordset);
    stmt.Bind(1, key);
    const int rc = stmt.Step();
    if (rc == SQLITE_DONE) {
        MarkDeletedAt(pos);
        ThrowDaoError(err::RecordDeleted, kRecordset);
    }
    if (rc != SQLITE_ROW)
        ThrowEngineError(rc);
    for (size_t i = 0; i < primaryKey.size(); ++i) {
        const Cell cell = ReadCell(stmt, static_cast<int>(i));
        COleVariant v;
        // A value stored against its column's type keeps the type it is stored with, so
        // that it selects the same row again.
        short type = primaryKey[i].type.type;
        if (cell.type == SQLITE_TEXT && type != dbText && type != dbMemo && type != dbDate)
            type = dbText;
        CellToVariant(cell, type, v);
        names.push_back(primaryKey[i].name);
        values.push_back(std::move(v));
    }
}

} // namespace kel::dao
