#include "platform/dao/DaoDatabase.h"

#include "platform/dao/DaoRecordset.h"
#include "platform/dao/DatabaseState.h"
#include "platform/dao/JetSql.h"
#include "platform/dao/Prepare.h"
#include "platform/dao/RecordsetState.h"
#include "platform/dao/TextCompare.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

using namespace kel::dao;

IMPLEMENT_DYNAMIC(CDaoDatabase, CObject)

namespace {

constexpr ErrorSource kSource = ErrorSource::Database;

// The first bytes of every SQLite database file.
bool HasDatabaseHeader(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    char header[100] = {};
    if (!in.read(header, sizeof header))
        return false;
    return std::memcmp(header, "SQLite format 3", 16) == 0;
}

} // namespace

// ---------------------------------------------------------------------------
// DatabaseState

void DatabaseState::Exec(std::string_view sql, ErrorSource source) {
    SqliteStatement stmt;
    PrepareInternal(db(), stmt, std::string(sql), source);
    int rc = stmt.Step();
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        ThrowSqliteError(db(), rc, source, {{}, false, name});
}

void DatabaseState::StopWorkers() {
    for (RecordsetState* state : keying) {
        if (state->worker) {
            state->worker.reset(); // interrupted and joined
            state->workerTried = false;
        }
    }
}

void DatabaseState::BeginWrite(ErrorSource source) {
    StopWorkers();
    if (m_writeHolders == 0 && sqlite3_get_autocommit(db())) {
        Exec("BEGIN IMMEDIATE", source);
        m_ownTransaction = true;
    }
    ++m_writeHolders;
}

void DatabaseState::EndWrite(bool commit, ErrorSource source) {
    if (m_writeHolders == 0)
        return;
    --m_writeHolders;
    // A transaction the host began is not ours to end.
    if (!m_ownTransaction || sqlite3_get_autocommit(db())) {
        m_ownTransaction = m_ownTransaction && !sqlite3_get_autocommit(db());
        return;
    }
    if (!commit && m_writeHolders > 0)
        return;
    int rc = sqlite3_exec(db(), "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        sqlite3_exec(db(), "ROLLBACK", nullptr, nullptr, nullptr); // nothing stays half-written
    m_ownTransaction = false;
    // Holders still editing keep a lock of their own.
    if (m_writeHolders > 0 &&
        sqlite3_exec(db(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK)
        m_ownTransaction = true;
    if (rc != SQLITE_OK)
        ThrowSqliteError(nullptr, rc, source, {{}, false, name});
}

void DatabaseState::CheckFileInPlace(ErrorSource source) {
    int moved = 0;
    if (sqlite3_file_control(db(), "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved)
        ThrowNaming(err::FileNotFound, name, source);
}

std::int64_t DatabaseState::DataVersion() {
    if (!m_dataVersion)
        PrepareInternal(db(), m_dataVersion, "PRAGMA data_version", ErrorSource::Recordset);
    StatementScope scope(m_dataVersion);
    return m_dataVersion.Step() == SQLITE_ROW ? m_dataVersion.ColumnInt64(0) : 0;
}

void DatabaseState::CloseConnection() {
    m_dataVersion = SqliteStatement();
    m_writeHolders = 0;
    m_ownTransaction = false;
    connection.Reset();
}

// ---------------------------------------------------------------------------
// CDaoDatabase

CDaoDatabase::CDaoDatabase() : m_pState(std::make_unique<DatabaseState>()) {}

CDaoDatabase::~CDaoDatabase() {
    try {
        Close();
    } catch (CException* e) {
        e->Delete();
    }
}

DatabaseState& CDaoDatabase::State() const {
    return *m_pState;
}

BOOL CDaoDatabase::IsOpen() const {
    return m_pState->connection ? TRUE : FALSE;
}

void CDaoDatabase::Open(LPCTSTR lpszName, BOOL bExclusive, BOOL bReadOnly, LPCTSTR lpszConnect) {
    if (IsOpen())
        ThrowDaoError(err::InvalidOperation, kSource);
    const std::string name = lpszName ? lpszName : "";
    struct stat st {};
    if (name.empty() || ::stat(name.c_str(), &st) != 0)
        ThrowNaming(err::FileNotFound, name, kSource);
    if (!S_ISREG(st.st_mode) || !HasDatabaseHeader(name)) {
        if (S_ISREG(st.st_mode) && ::access(name.c_str(), R_OK) != 0)
            ThrowNaming(err::CannotOpenFile, name, kSource);
        ThrowNaming(err::UnrecognizedFormat, name, kSource);
    }
    // A file without write permission opens read-only, as a read-only file does elsewhere.
    const bool readOnly = bReadOnly || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                          ::access(name.c_str(), W_OK) != 0;

    sqlite3* raw = nullptr;
    int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    int rc = sqlite3_open_v2(name.c_str(), &raw, flags, nullptr);
    SqliteConnection connection(raw);
    if (rc != SQLITE_OK)
        ThrowNaming(rc == SQLITE_NOTADB ? err::UnrecognizedFormat : err::CannotOpenFile, name,
                    kSource);
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, m_pState->busyTimeoutSeconds * 1000);
    // Text compares and matches without regard to case, as the engine's does.
    if (RegisterTextFunctions(raw) != SQLITE_OK)
        ThrowSqliteError(raw, sqlite3_errcode(raw), kSource, {{}, false, name});

    auto exec = [&](const char* sql) {
        int r = sqlite3_exec(raw, sql, nullptr, nullptr, nullptr);
        if (r == SQLITE_OK)
            return;
        switch (r & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            ThrowNaming(err::FileInUse, name, kSource);
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT: // a malformed schema's message may read like a syntax error
            ThrowNaming(err::UnrecognizedFormat, name, kSource);
        default:
            ThrowSqliteError(raw, r, kSource, {{}, false, name});
        }
    };
    // Reading the schema now finds a damaged file or one another connection holds exclusively.
    if (bExclusive) {
        exec("PRAGMA locking_mode=EXCLUSIVE");
        exec(readOnly ? "BEGIN; SELECT count(*) FROM sqlite_master; COMMIT"
                      : "BEGIN EXCLUSIVE; COMMIT");
    }
    exec("SELECT count(*) FROM sqlite_master");
    // Relationships declared in the schema are enforced, as the engine enforces them.
    exec("PRAGMA foreign_keys=ON");

    DatabaseState& s = *m_pState;
    s.connection = std::move(connection);
    s.name = name;
    s.connect = lpszConnect ? lpszConnect : "";
    s.readOnly = readOnly;
    s.exclusive = bExclusive != FALSE;
    s.recordsAffected = 0;
}

void CDaoDatabase::Close() {
    DatabaseState& s = *m_pState;
    if (!s.connection)
        return;
    // Closing a recordset removes it from the list.
    while (!s.recordsets.empty())
        s.recordsets.back()->Close();
    if (!sqlite3_get_autocommit(s.db()))
        sqlite3_exec(s.db(), "ROLLBACK", nullptr, nullptr, nullptr);
    s.CloseConnection();
    s.name.clear();
    s.connect.clear();
}

CString CDaoDatabase::GetName() {
    if (!IsOpen())
        ThrowNotOpen(kSource);
    return CString(m_pState->name);
}

CString CDaoDatabase::GetConnect() {
    if (!IsOpen())
        ThrowNotOpen(kSource);
    return CString(m_pState->connect);
}

BOOL CDaoDatabase::CanUpdate() {
    if (!IsOpen())
        ThrowNotOpen(kSource);
    return m_pState->readOnly ? FALSE : TRUE;
}

BOOL CDaoDatabase::CanTransact() {
    if (!IsOpen())
        ThrowNotOpen(kSource);
    return TRUE;
}

void CDaoDatabase::Execute(LPCTSTR lpszSQL, int /*nOptions*/) {
    if (!IsOpen())
        ThrowNotOpen(kSource);
    DatabaseState& s = *m_pState;
    const std::string text = lpszSQL ? lpszSQL : "";
    JetTranslation jet = TranslateJetSql(text);
    if (!jet.ok)
        ThrowDaoError(jet.errorCode, jet.description, kSource);
    SqliteStatement stmt;
    EngineContext context{text, false, s.name};
    s.StopWorkers();
    PrepareOne(s.db(), stmt, jet.sql, kSource, context);
    if (sqlite3_column_count(stmt.get()) > 0 && sqlite3_stmt_readonly(stmt.get()))
        ThrowDaoError(err::CannotExecuteSelect, kSource);
    int rc;
    while ((rc = stmt.Step()) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        ThrowSqliteError(s.db(), rc, kSource, context);
    s.recordsAffected = sqlite3_changes(s.db());
}

long CDaoDatabase::GetRecordsAffected() {
    if (!IsOpen())
        ThrowNotOpen(kSource);
    return m_pState->recordsAffected;
}

short CDaoDatabase::GetQueryTimeout() {
    return static_cast<short>(m_pState->busyTimeoutSeconds);
}

void CDaoDatabase::SetQueryTimeout(short nSeconds) {
    m_pState->busyTimeoutSeconds = nSeconds < 0 ? 0 : nSeconds;
    if (IsOpen())
        sqlite3_busy_timeout(m_pState->db(), m_pState->busyTimeoutSeconds * 1000);
}
