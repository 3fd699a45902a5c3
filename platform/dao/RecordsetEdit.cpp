// Editing: Edit and AddNew fill a buffer, SetFieldValue converts into it, Update writes it in
// one statement under the database's write lock.
#include "platform/dao/RecordsetState.h"

#include "platform/dao/Prepare.h"
#include "platform/dao/SqlLexer.h"

namespace kel::dao {

namespace {

// The buffer of a new record: each column's default, as the engine computes it.
std::vector<Cell> Defaults(sqlite3* db, const std::vector<RecordsetField>& fields) {
    std::vector<Cell> row(fields.size());
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].defaultValue.empty() || !fields[i].updatable)
            continue;
        SqliteStatement stmt;
        if (stmt.Prepare(db, "SELECT " + fields[i].defaultValue) == SQLITE_OK &&
            stmt.Step() == SQLITE_ROW)
            row[i] = ReadCell(stmt, 0);
    }
    return row;
}

} // namespace

void RecordsetState::BeginEdit(bool adding) {
    if (!updatable)
        ThrowDaoError(err::ReadOnly, kRecordset);
    if (!adding)
        Current();
    CancelEdit();
    if (pessimistic) {
        database->BeginWrite(kRecordset);
        holdsLock = true;
    }
    try {
        if (adding) {
            buffer = Defaults(db(), fields);
        } else {
            loaded = false; // the record as it is now, under the lock when there is one
            buffer = Current();
        }
    } catch (CException*) {
        if (holdsLock) {
            holdsLock = false;
            database->EndWrite(false, kRecordset);
        }
        throw;
    }
    original = buffer;
    dirty.assign(fields.size(), false);
    editMode = adding ? dbEditAdd : dbEditInProgress;
}

void RecordsetState::SetValue(size_t field, const VARIANT& value) {
    if (editMode == dbEditNone)
        ThrowDaoError(err::UpdateWithoutEdit, kRecordset);
    const RecordsetField& f = fields[field];
    if (!f.updatable)
        ThrowDaoError(err::FieldNotUpdatable, kRecordset);
    Cell cell;
    if (long code = VariantToCell(value, f.type.type, f.type.size, cell))
        ThrowDaoError(code, kRecordset);
    buffer[field] = std::move(cell);
    dirty[field] = true;
}

void RecordsetState::Update() {
    if (editMode == dbEditNone)
        ThrowDaoError(err::UpdateWithoutEdit, kRecordset);
    const bool adding = editMode == dbEditAdd;
    std::vector<size_t> changed;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (dirty[i])
            changed.push_back(i);
    }
    if (!adding && changed.empty()) {
        CancelEdit();
        return;
    }
    if (adding)
        KeyAll(); // a new record joins the end: the end must be known first

    std::string sql;
    if (adding) {
        std::string names, params;
        for (size_t k = 0; k < changed.size(); ++k) {
            names += (k ? ", " : "") + QuoteSqlName(fields[changed[k]].sourceField);
            params += (k ? ", ?" : "?") + std::to_string(k + 1);
        }
        sql = changed.empty()
                  ? "INSERT INTO " + target + " DEFAULT VALUES"
                  : "INSERT INTO " + target + " (" + names + ") VALUES (" + params + ")";
    } else {
        std::string sets;
        for (size_t k = 0; k < changed.size(); ++k)
            sets += (k ? ", " : "") + QuoteSqlName(fields[changed[k]].sourceField) + " = ?" +
                    std::to_string(k + 1);
        sql = "UPDATE " + target + " SET " + sets + " WHERE " + rowidColumn + " = ?" +
              std::to_string(changed.size() + 1);
    }

    if (!holdsLock) {
        database->BeginWrite(kRecordset);
        holdsLock = true;
    }
    std::int64_t key = adding ? 0 : keys.At(pos);
    try {
        if (!adding) {
            std::vector<Cell> now;
            if (!ReadRow(key, now)) {
                keys.MarkDeleted(pos);
                ThrowDaoError(err::RecordDeleted, kRecordset);
            }
            if (!pessimistic && now != original)
                ThrowDaoError(err::WriteConflict, kRecordset);
        }
        SqliteStatement stmt;
        PrepareInternal(db(), stmt, sql, kRecordset);
        for (size_t k = 0; k < changed.size(); ++k)
            BindCell(stmt, static_cast<int>(k + 1), buffer[changed[k]]);
        if (!adding)
            stmt.Bind(static_cast<int>(changed.size() + 1), key);
        int rc = stmt.Step();
        if (rc != SQLITE_DONE)
            ThrowEngineError(rc);
        if (adding) {
            key = sqlite3_last_insert_rowid(db());
        } else {
            for (size_t i : changed) {
                if (fields[i].rowidAlias && buffer[i].type == SQLITE_INTEGER)
                    key = buffer[i].integer; // the record moved to another rowid
            }
        }
    } catch (CException*) {
        // The edit stays pending; an optimistic one lets go of the lock it took here.
        if (!pessimistic) {
            holdsLock = false;
            database->EndWrite(false, kRecordset);
        }
        throw;
    }
    holdsLock = false;
    database->EndWrite(true, kRecordset);

    if (adding) {
        if (appendedFrom == Keyset::npos)
            appendedFrom = keys.Size();
        keys.Append(key);
        lastModifiedPos = keys.Size() - 1;
    } else {
        keys.Set(pos, key);
        lastModifiedPos = pos;
        loaded = false;
    }
    hasLastModified = true;
    editMode = dbEditNone;
    buffer.clear();
    original.clear();
    dirty.clear();
}

void RecordsetState::CancelEdit() {
    editMode = dbEditNone;
    buffer.clear();
    original.clear();
    dirty.clear();
    if (holdsLock) {
        holdsLock = false;
        try {
            database->EndWrite(false, kRecordset);
        } catch (CException* e) {
            e->Delete(); // nothing was written: letting go of the lock cannot lose anything
        }
    }
}

void RecordsetState::DeleteCurrent() {
    if (!updatable)
        ThrowDaoError(err::ReadOnly, kRecordset);
    Current();
    CancelEdit();
    database->BeginWrite(kRecordset);
    int changes = 0;
    try {
        SqliteStatement stmt;
        PrepareInternal(db(), stmt, "DELETE FROM " + target + " WHERE " + rowidColumn + " = ?1",
                        kRecordset);
        stmt.Bind(1, keys.At(pos));
        int rc = stmt.Step();
        if (rc != SQLITE_DONE)
            ThrowEngineError(rc);
        changes = sqlite3_changes(db());
    } catch (CException*) {
        database->EndWrite(false, kRecordset);
        throw;
    }
    database->EndWrite(true, kRecordset);
    keys.MarkDeleted(pos);
    loaded = false;
    if (changes == 0)
        ThrowDaoError(err::RecordDeleted, kRecordset);
}

} // namespace kel::dao
