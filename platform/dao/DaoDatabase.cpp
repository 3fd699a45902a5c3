#include "platform/dao/DaoDatabase.h"

#include "platform/dao/DaoRecordset.h"
#include "platform/dao/DatabaseState.h"
#include "platform/dao/JetSql.h"
#include "platform/dao/Prepare.h"
#include "platform/dao/RecordsetState.h"
#include "platform/dao/SqlLexer.h"
#include "platform/dao/engines/EngineError.h"

#include <optional>

using namespace kel::dao;

IMPLEMENT_DYNAMIC(CDaoDatabase, CObject)

namespace {

constexpr ErrorSource kSource = ErrorSource::Database;

// Whether a statement would wait for the keying workers' reads to end: on a file every write
// does (its lock waits for every reader); on a server only a change of a table's definition
// does, as a row's change leaves a reader's snapshot alone.
bool WaitsForReaders(const DatabaseState& s, std::string_view sql) {
    if (!s.server)
        return true;
    const std::vector<SqlToken> t = SignificantTokens(sql);
    if (t.empty())
        return false;
    for (std::string_view verb : {"INSERT", "UPDATE", "DELETE"})
        if (t[0].IsWord(verb))
            return false;
    return true;
}

} // namespace

// ---------------------------------------------------------------------------
// DatabaseState

void DatabaseState::Exec(std::string_view sql, ErrorSource source) {
    // Run at once, not prepared first: on a server, one exchange.
    try {
        db().Execute(sql);
    } catch (const EngineError& e) {
        ThrowDaoFor(e, source, {{}, false, name});
    }
}

JetTranslation DatabaseState::Translate(std::string_view jet, JetTextKind kind,
                                        const std::vector<std::string>& ownCollation,
                                        const ServerNames& fields, const ServerNames* names) {
    if (!server)
        return TranslateJetSql(jet, kind, ownCollation);
    const ServerNames asked = names ? ServerNames() : StoredNames({jet});
    const ServerNames& known = names ? *names : asked;
    std::vector<std::string> text = fields.text, yesNo = fields.yesNo;
    text.insert(text.end(), known.text.begin(), known.text.end());
    yesNo.insert(yesNo.end(), known.yesNo.begin(), known.yesNo.end());
    return TranslateJetSql(jet, kind, ownCollation, &db().GetDialect(), text, known.stored, yesNo);
}

std::vector<std::string> DatabaseState::NameWords(std::initializer_list<std::string_view> texts,
                                                  const std::vector<std::string>& tables) const {
    std::vector<std::string> words;
    if (server) {
        for (std::string_view text : texts)
            for (std::string& w : NamesIn(text))
                words.push_back(std::move(w));
        if (!words.empty())
            words.insert(words.end(), tables.begin(), tables.end());
    }
    return words;
}

DatabaseState::ServerNames DatabaseState::StoredNames(std::initializer_list<std::string_view> texts,
                                                      const std::vector<std::string>& tables) {
    ServerNames names;
    const std::vector<std::string> words = NameWords(texts, tables);
    if (words.empty())
        return names;
    try {
        names.stored = db().StoredNames(words, &names.text, &names.yesNo);
    } catch (const EngineError& e) {
        ThrowDaoFor(e, ErrorSource::Database);
    }
    return names;
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
    if (!server)
        StopWorkers(); // a server's row locks keep no reader waiting, nor wait for one
    if (m_writeHolders == 0 && !connection->InTransaction()) {
        try {
            connection->BeginWrite();
        } catch (const EngineError& e) {
            ThrowDaoFor(e, source, {{}, false, name});
        }
        m_ownTransaction = true;
    }
    ++m_writeHolders;
}

void DatabaseState::EndWrite(bool commit, ErrorSource source) {
    if (m_writeHolders == 0)
        return;
    --m_writeHolders;
    // A transaction the host began is not ours to end.
    if (!m_ownTransaction || !connection->InTransaction()) {
        m_ownTransaction = m_ownTransaction && connection->InTransaction();
        return;
    }
    if (!commit && m_writeHolders > 0)
        return;
    std::optional<EngineError> failed;
    try {
        connection->Commit();
    } catch (const EngineError& e) {
        failed.emplace(e);
        try {
            connection->Rollback(); // nothing stays half-written
        } catch (const EngineError&) {
        }
    }
    m_ownTransaction = false;
    // Holders still editing keep a lock of their own.
    if (m_writeHolders > 0) {
        try {
            connection->BeginWrite();
            m_ownTransaction = true;
        } catch (const EngineError&) {
        }
    }
    if (failed)
        ThrowDaoFor(*failed, source, {{}, false, name});
}

void DatabaseState::CheckFileInPlace(ErrorSource source) {
    if (!connection->StillInPlace())
        ThrowNaming(err::FileNotFound, name, source);
}

ChangeToken DatabaseState::CurrentChangeToken(ErrorSource source) {
    try {
        return connection->CurrentChangeToken();
    } catch (const EngineError& e) {
        ThrowDaoFor(e, source, {{}, false, name});
    }
}

void DatabaseState::CloseConnection() {
    m_writeHolders = 0;
    m_ownTransaction = false;
    connection.reset();
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
    const std::string connect = lpszConnect ? lpszConnect : "";
    // A server is named by a libpq URI, or by an ODBC connect string given as the connect
    // argument (the name may then be empty); anything else names a SQLite file.
    const bool odbc = connect.size() >= 5 && EqualsNoCase(connect.substr(0, 5), "ODBC;");
    const std::string target = odbc ? connect : name;
    if (target.empty())
        ThrowNaming(err::FileNotFound, name, kSource);
    const bool server = IsServerName(target);
    EngineOptions options;
    options.readOnly = bReadOnly != FALSE;
    options.exclusive = bExclusive != FALSE;
    options.busyTimeoutMs = m_pState->busyTimeoutSeconds * 1000;
    std::unique_ptr<EngineConnection> connection;
    try {
        connection = OpenEngine(target, options);
    } catch (const EngineError& e) {
        // A server's failures keep its own words (without the password, which the engine
        // leaves out of what it reports).
        if (server)
            ThrowEngineError(e, kSource, {{}, false, {}});
        switch (e.Failure()) {
        case EngineFailure::FileNotFound:
            // Missing before the engine looked, or gone when it opened the file.
            ThrowNaming(e.EngineCode().empty() ? err::FileNotFound : err::CannotOpenFile, name,
                        kSource);
        case EngineFailure::DiskError:
            ThrowNaming(err::CannotOpenFile, name, kSource);
        case EngineFailure::Locked:
            ThrowNaming(err::FileInUse, name, kSource);
        case EngineFailure::CorruptFile:
            ThrowNaming(err::UnrecognizedFormat, name, kSource);
        default:
            ThrowDaoFor(e, kSource, {{}, false, name});
        }
    }

    DatabaseState& s = *m_pState;
    s.connection = std::move(connection);
    s.name = name;
    s.connect = connect;
    s.server = server;
    s.readOnly = s.connection->IsReadOnly();
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
    if (s.connection->InTransaction()) {
        try {
            s.connection->Rollback();
        } catch (const EngineError&) {
            // closing the connection ends the transaction all the same
        }
    }
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
    JetTranslation jet = s.Translate(text, JetTextKind::Statement);
    if (!jet.ok)
        ThrowDaoError(jet.errorCode, jet.description, kSource);
    Statement stmt;
    EngineContext context{text, false, s.name};
    if (WaitsForReaders(s, jet.sql))
        s.StopWorkers();
    PrepareOne(s.db(), stmt, jet.sql, kSource, context);
    if (stmt.ColumnCount() > 0 && stmt.Engine().ReadOnly())
        ThrowDaoError(err::CannotExecuteSelect, kSource);
    StepResult rc;
    while ((rc = stmt.Step()) == kRow) {
    }
    if (rc != kDone)
        ThrowStepError(stmt, kSource, context);
    s.recordsAffected = static_cast<long>(stmt.Engine().ChangedRows());
}

ULONGLONG CDaoDatabase::GetRoundTrips() {
    if (!IsOpen())
        ThrowNotOpen(kSource);
    return m_pState->db().RoundTrips();
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
    if (IsOpen()) {
        try {
            m_pState->db().SetBusyTimeout(m_pState->busyTimeoutSeconds * 1000);
        } catch (const EngineError& e) {
            ThrowDaoFor(e, kSource, {{}, false, m_pState->name});
        }
    }
}
