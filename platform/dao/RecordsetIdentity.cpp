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
    Statement stmt;
    PrepareInternal(db(), stmt, "SELECT " + list + " FROM " + target + " WHERE " + KeyMatch(1),
                    kRecordset);
    stmt.Bind(1, key);
    const StepResult rc = stmt.Step();
    if (rc == kDone) {
        MarkDeletedAt(pos);
        ThrowDaoError(err::RecordDeleted, kRecordset);
    }
    if (rc != kRow)
        ThrowEngineError(stmt);
    for (size_t i = 0; i < primaryKey.size(); ++i) {
        const Cell cell = stmt.Column(static_cast<int>(i));
        COleVariant v;
        // A value stored against its column's type keeps the type it is stored with, so
        // that it selects the same row again.
        short type = primaryKey[i].type.type;
        if (cell.kind == EngineValue::Kind::Text && type != dbText && type != dbMemo &&
            type != dbDate)
            type = dbText;
        CellToVariant(cell, type, v);
        names.push_back(primaryKey[i].name);
        values.push_back(std::move(v));
    }
}

} // namespace kel::dao
