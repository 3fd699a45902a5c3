// Editing: Edit and AddNew fill a buffer, SetFieldValue converts into it, Update writes it in
// one statement under the database's write lock.
#include "platform/dao/RecordsetState.h"

#include "platform/dao/Prepare.h"
#include "platform/dao/SqlLexer.h"

#include <optional>

namespace kel::dao {

namespace {

// The buffer of a new record: each column's default, as the engine computes it.
std::vector<Cell> Defaults(EngineConnection& db, const std::vector<RecordsetField>& fields) {
    std::vector<Cell> row(fields.size());
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].defaultValue.empty() || !fields[i].updatable)
            continue;
        Statement stmt;
        if (TryPrepare(db, stmt, "SELECT " + fields[i].defaultValue) && stmt.Step() == kRow)
            row[i] = stmt.Column(0);
    }
    return row;
}

// A savepoint around one write, so that a write found wrong after the statement ran can be
// taken back alone, inside whatever transaction holds it.
class WriteSavepoint {
public:
    explicit WriteSavepoint(DatabaseState& db) : m_db(db) {
        try {
            m_db.db().Savepoint(kName);
        } catch (const EngineError& e) {
            ThrowDaoFor(e, kRecordset);
        }
    }
    ~WriteSavepoint() {
        if (m_open) {
            try {
                m_db.db().RollbackToSavepoint(kName);
                m_db.db().ReleaseSavepoint(kName);
            } catch (const EngineError&) {
                // the transaction around it ends the savepoint all the same
            }
        }
    }
    WriteSavepoint(const WriteSavepoint&) = delete;
    WriteSavepoint& operator=(const WriteSavepoint&) = delete;
    void Keep() {
        m_open = false;
        try {
            m_db.db().ReleaseSavepoint(kName);
        } catch (const EngineError& e) {
            ThrowDaoFor(e, kRecordset);
        }
    }

private:
    static constexpr std::string_view kName = "kel_write";
    DatabaseState& m_db;
    bool m_open = true;
};

// The value as a message may quote it: short, on one line.
std::string Quoted(const std::string& text) {
    std::string out = text.substr(0, 40);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    }
    return out.size() < text.size() ? out + "..." : out;
}

} // namespace

void RecordsetState::BeginEdit(bool adding) {
    if (!updatable)
        ThrowDaoError(err::ReadOnly, kRecordset);
    Settle(); // an edit works on positions from the front
    if (!adding)
        Current();
    CancelEdit();
    // A server's record is not held from Edit to Update: its edits are checked at Update as
    // optimistic ones are, whatever the locking mode.
    if (pessimistic && !database->server) {
        database->BeginWrite(kRecordset);
        holdsLock = true;
    }
    try {
        if (adding) {
            buffer = Defaults(db(), fields);
        } else {
            loaded = false; // the record as it is now, under the lock when there is one
            cache.erase(KeyAt(pos));
            buffer = Current();
            if (Narrowed() && !ReadRecord(pos, buffer, true)) // the whole record
                ThrowDaoError(err::RecordDeleted, kRecordset);
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
        if (keyMap) {
            // The new record's key joins the map after every other, in the same statement.
            // A key the map still holds for a record deleted before names the new one.
            sql = "WITH kel$new AS (" + sql + " RETURNING " + KeyMapList("") + ") INSERT INTO " +
                  copyTable + " SELECT ?" + std::to_string(changed.size() + 1) +
                  ", kel$new.* FROM kel$new ON CONFLICT (" + KeyMapList("") +
                  ") DO UPDATE SET \"kel$pos\" = EXCLUDED.\"kel$pos\"";
        } else if (database->server) {
            sql += " RETURNING " + rowidColumn; // the key the server gave the record
        }
    } else {
        std::string sets;
        for (size_t k = 0; k < changed.size(); ++k)
            sets += (k ? ", " : "") + QuoteSqlName(fields[changed[k]].sourceField) + " = ?" +
                    std::to_string(k + 1);
        sql = "UPDATE " + target + " SET " + sets + " WHERE " +
              KeyMatch(static_cast<int>(changed.size() + 1));
    }

    if (!holdsLock) {
        database->BeginWrite(kRecordset);
        holdsLock = true;
    }
    std::int64_t key = adding ? 0 : keys.At(pos);
    // Text written to a text or memo field must come back as text: a column declared without
    // CHAR, CLOB or TEXT turns text that looks like a number into a number ("007" into 7).
    std::vector<size_t> textual;
    for (size_t i : changed) {
        const short t = fields[i].type.type;
        if (!database->server && (t == dbText || t == dbMemo) &&
            buffer[i].kind == EngineValue::Kind::Text)
            textual.push_back(i);
    }
    try {
        if (!adding) {
            if (database->server) {
                // The row is held until the write commits, so that what is compared below is
                // what the UPDATE changes.
                Statement lock;
                PrepareInternal(db(), lock,
                                "SELECT 1 FROM " + target + " WHERE " + KeyMatch(1) + " FOR UPDATE",
                                kRecordset);
                lock.Bind(1, key);
                if (lock.Step() == kFailed)
                    ThrowEngineError(lock);
                lock.Reset();
            }
            std::vector<Cell> now;
            if (!ReadRecord(pos, now, true)) {
                keys.MarkDeleted(pos);
                ThrowDaoError(err::RecordDeleted, kRecordset);
            }
            if ((!pessimistic || database->server) && now != original)
                ThrowDaoError(err::WriteConflict, kRecordset);
        }
        Statement stmt;
        PrepareInternal(db(), stmt, sql, kRecordset);
        for (size_t k = 0; k < changed.size(); ++k)
            stmt.Bind(static_cast<int>(k + 1), buffer[changed[k]]);
        if (!adding || keyMap)
            stmt.Bind(static_cast<int>(changed.size() + 1), adding ? mapAdded : key);
        std::optional<WriteSavepoint> savepoint;
        if (!textual.empty())
            savepoint.emplace(*database);
        const StepResult written = stmt.Step();
        if (written != kDone && !(written == kRow && database->server && adding))
            ThrowEngineError(stmt);
        if (adding && keyMap) {
            if (stmt.Engine().ChangedRows() != 1)
                ThrowDaoError(err::InvalidOperation,
                              "The server gave the new record no key. Nothing was written.",
                              kRecordset);
            key = mapAdded++;
        } else if (adding && database->server) {
            if (written != kRow || stmt.Column(0).kind != EngineValue::Kind::Integer)
                ThrowDaoError(err::InvalidOperation,
                              "The server gave the new record no key. Nothing was written.",
                              kRecordset);
            key = stmt.ColumnInt64(0);
        }
        stmt.Reset();
        if (keyMap && !adding) {
            // A key changed here: the map follows it, so the number still names the record.
            std::string keySets, keyNow;
            const std::string number = "?" + std::to_string(changed.size() + 1);
            for (const KeyMapColumn& c : keyMapColumns) {
                std::string now = "(SELECT " + c.name + " FROM " + copyTable +
                                  " WHERE \"kel$pos\" = " + number + ")";
                for (size_t k = 0; k < changed.size(); ++k)
                    if (QuoteSqlName(fields[changed[k]].sourceField) == c.name) {
                        keySets +=
                            (keySets.empty() ? "" : ", ") + c.name + " = ?" + std::to_string(k + 1);
                        now = "?" + std::to_string(k + 1);
                    }
                keyNow += (keyNow.empty() ? "" : ", ") + now;
            }
            if (!keySets.empty()) {
                // The changed key values, then the record's number.
                auto onMap = [&](const std::string& text) {
                    Statement write;
                    PrepareInternal(db(), write, text, kRecordset);
                    for (size_t k = 0; k < changed.size(); ++k)
                        write.Bind(static_cast<int>(k + 1), buffer[changed[k]]);
                    write.Bind(static_cast<int>(changed.size() + 1), key);
                    if (write.Step() != kDone)
                        ThrowEngineError(write);
                };
                // The key may be one the map still holds for a record deleted before.
                onMap("DELETE FROM " + copyTable + " WHERE \"kel$pos\" <> " + number + " AND (" +
                      KeyMapList("") + ") = (" + keyNow + ")");
                onMap("UPDATE " + copyTable + " SET " + keySets + " WHERE \"kel$pos\" = " + number);
            }
        }
        if (adding) {
            if (!database->server)
                key = db().LastInsertId();
        } else {
            for (size_t i : changed) {
                if (fields[i].rowidAlias && buffer[i].kind == EngineValue::Kind::Integer)
                    key = buffer[i].integer; // the record moved to another rowid
            }
        }
        if (savepoint) {
            std::string list;
            for (size_t i : textual)
                list += (list.empty() ? "typeof(" : ", typeof(") +
                        QuoteSqlName(fields[i].sourceField) + ")";
            Statement check;
            PrepareInternal(db(), check,
                            "SELECT " + list + " FROM " + target + " WHERE " + rowidColumn +
                                " = ?1",
                            kRecordset);
            check.Bind(1, key);
            if (check.Step() == kRow) {
                for (size_t k = 0; k < textual.size(); ++k) {
                    if (check.ColumnText(static_cast<int>(k)) == "text")
                        continue;
                    const RecordsetField& f = fields[textual[k]];
                    ThrowDaoError(err::ConversionError,
                                  "The field '" + f.name + "' cannot keep '" +
                                      Quoted(buffer[textual[k]].bytes) +
                                      "' as text: its column turns text that looks like a "
                                      "number into a number. Nothing was written.",
                                  kRecordset);
                }
            }
            check.Reset();
            savepoint->Keep();
        }
    } catch (CException*) {
        // The edit stays pending; an optimistic one lets go of the lock it took here.
        if (!pessimistic || database->server) {
            holdsLock = false;
            database->EndWrite(false, kRecordset);
        }
        throw;
    }
    holdsLock = false;
    database->EndWrite(true, kRecordset);
    cache.clear(); // what this recordset wrote reads anew

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
    if (!identityTarget.empty())
        keys.SetCheck(lastModifiedPos, IdentityOf(key)); // a key changed here stays this record
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
    Settle();
    Current();
    CancelEdit();
    database->BeginWrite(kRecordset);
    int changes = 0;
    try {
        Statement stmt;
        PrepareInternal(db(), stmt, "DELETE FROM " + target + " WHERE " + KeyMatch(1), kRecordset);
        stmt.Bind(1, keys.At(pos));
        if (stmt.Step() != kDone)
            ThrowEngineError(stmt);
        changes = static_cast<int>(stmt.Engine().ChangedRows());
    } catch (CException*) {
        database->EndWrite(false, kRecordset);
        throw;
    }
    database->EndWrite(true, kRecordset);
    cache.clear(); // what this recordset wrote reads anew
    keys.MarkDeleted(pos);
    loaded = false;
    if (changes == 0)
        ThrowDaoError(err::RecordDeleted, kRecordset);
}

} // namespace kel::dao
