#include "platform/dao/engines/postgresql/PgEngine.h"

#include "platform/core/HexDigit.h"

#include "platform/dao/SqlLexer.h"
#include "platform/dao/engines/EngineError.h"
#include "platform/dao/engines/postgresql/PgConnectString.h"
#include "platform/dao/engines/postgresql/PgDialect.h"

#include "platform/dao/DaoConstants.h"

#include <libpq-fe.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <charconv>
#include <locale.h>
#include <optional>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <mutex>
#include <poll.h>
#include <vector>

namespace kel::dao {

namespace {

// Type OIDs fixed by PostgreSQL's catalog (pg_type.dat).
constexpr Oid kBool = 16, kBytea = 17, kName = 19, kInt8 = 20, kInt2 = 21, kInt4 = 23, kText = 25,
              kOid = 26, kJson = 114, kFloat4 = 700, kFloat8 = 701, kBpchar = 1042, kVarchar = 1043,
              kDate = 1082, kTime = 1083, kTimestamp = 1114, kTimestamptz = 1184, kNumeric = 1700,
              kUuid = 2950, kJsonb = 3802, kMoney = 790;

struct ConnDeleter {
    void operator()(PGconn* c) const { PQfinish(c); }
};
struct ResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
struct CancelDeleter {
    void operator()(PGcancel* c) const { PQfreeCancel(c); }
};
using ConnPtr = std::unique_ptr<PGconn, ConnDeleter>;
using ResultPtr = std::unique_ptr<PGresult, ResultDeleter>;
using CancelPtr = std::unique_ptr<PGcancel, CancelDeleter>;

std::string_view Field(const PGresult* r, int field) {
    const char* v = r ? PQresultErrorField(r, field) : nullptr;
    return v ? std::string_view(v) : std::string_view();
}

// Whether a statement prepared before failed as one whose plan no longer fits its table (its
// columns changed) or that is gone fails.
bool Stale(const PGresult* r) {
    const std::string_view state = Field(r, PG_DIAG_SQLSTATE);
    return r && PQresultStatus(r) == PGRES_FATAL_ERROR && (state == "0A000" || state == "26000");
}

// The name between the first pair of double quotes of a message: relation "t" does not exist.
std::string Quoted(std::string_view message) {
    const size_t open = message.find('"');
    const size_t close = open == std::string_view::npos ? open : message.find('"', open + 1);
    return close == std::string_view::npos
               ? std::string()
               : std::string(message.substr(open + 1, close - open - 1));
}

std::string TrimmedMessage(const char* text) {
    std::string s = text ? text : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
        s.pop_back();
    return s;
}

EngineError ServerFailure(const PGresult* r, PGconn* conn, std::string_view sql) {
    const std::string state(Field(r, PG_DIAG_SQLSTATE));
    std::string message(Field(r, PG_DIAG_MESSAGE_PRIMARY));
    if (message.empty())
        message = TrimmedMessage(r ? PQresultErrorMessage(r) : PQerrorMessage(conn));
    if (message.empty())
        message = TrimmedMessage(PQerrorMessage(conn));
    if (const std::string_view detail = Field(r, PG_DIAG_MESSAGE_DETAIL); !detail.empty())
        message += " (" + std::string(detail) + ")";
    auto fail = [&](EngineFailure failure, std::string subject = {}) {
        return EngineError(failure, state, message, std::move(subject));
    };
    if (state.empty()) // no answer from the server: the connection is gone
        return fail(PQstatus(conn) == CONNECTION_BAD ? EngineFailure::CannotConnect
                                                     : EngineFailure::Other,
                    PQdb(conn) ? PQdb(conn) : "");
    if (state == "23505")
        return fail(EngineFailure::DuplicateKey);
    if (state == "23502")
        return fail(EngineFailure::RequiredIsNull, std::string(Field(r, PG_DIAG_COLUMN_NAME)));
    if (state == "23514")
        return fail(EngineFailure::CheckViolation);
    if (state == "23503")
        return fail(EngineFailure::ForeignKey);
    if (state == "42P01")
        return fail(EngineFailure::TableNotFound, Quoted(Field(r, PG_DIAG_MESSAGE_PRIMARY)));
    if (state == "42703")
        return fail(EngineFailure::ColumnNotFound, Quoted(Field(r, PG_DIAG_MESSAGE_PRIMARY)));
    if (state == "42883") {
        // An operator the server lacks for two types, or a function it does not know: the
        // place it points to in the statement tells which, whatever its messages' language.
        if (const std::optional<std::string> called =
                CalledAt(sql, Field(r, PG_DIAG_STATEMENT_POSITION)))
            return called->empty() ? fail(EngineFailure::TypeMismatch)
                                   : fail(EngineFailure::FunctionNotFound, *called);
        // "function f(integer) does not exist", or "operator does not exist: boolean = numeric"
        std::string_view m = Field(r, PG_DIAG_MESSAGE_PRIMARY);
        if (m.substr(0, 9) == "operator ")
            return fail(EngineFailure::TypeMismatch);
        constexpr std::string_view prefix = "function ";
        std::string name;
        if (m.substr(0, prefix.size()) == prefix)
            name = std::string(m.substr(prefix.size(), m.find('(') - prefix.size()));
        return fail(EngineFailure::FunctionNotFound, name);
    }
    if (state == "42601")
        return fail(EngineFailure::Syntax);
    if (state == "40001" || state == "40P01" || state == "55P03")
        return fail(EngineFailure::Locked);
    if (state == "25006" || state == "42501")
        return fail(EngineFailure::ReadOnly);
    if (state == "57014") // query_canceled: a cancel request or a statement timeout
        return fail(EngineFailure::Interrupted);
    if (state == "22003")
        return fail(EngineFailure::Overflow);
    if (state == "22001")
        return fail(EngineFailure::TooLong);
    if (state == "22P02" || state == "22007" || state == "22008" || state == "22018" ||
        state == "22021" || state == "42804")
        return fail(EngineFailure::Conversion);
    if (state.compare(0, 2, "08") == 0 || state == "57P01")
        return fail(EngineFailure::CannotConnect, PQdb(conn) ? PQdb(conn) : "");
    return fail(EngineFailure::Other);
}

std::int64_t CommandRows(const PGresult* r) {
    const char* n = PQcmdTuples(const_cast<PGresult*>(r));
    std::int64_t rows = 0;
    if (n && *n)
        std::from_chars(n, n + std::char_traits<char>::length(n), rows);
    return rows;
}

// Rows an INSERT, UPDATE, DELETE or MERGE changed (also with RETURNING); 0 for anything else.
std::int64_t ChangedBy(const PGresult* r) {
    const std::string_view status = PQcmdStatus(const_cast<PGresult*>(r));
    for (std::string_view verb : {"INSERT ", "UPDATE ", "DELETE ", "MERGE "})
        if (status.substr(0, verb.size()) == verb)
            return CommandRows(r);
    return 0;
}

bool Succeeded(const PGresult* r) {
    const ExecStatusType s = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
}

// The catalog's questions, each reading its argument from a setting of the session (Setting)
// rather than from a parameter: a statement without parameters gets the server's generic plan
// at once, where one with them is planned anew at each of its first five runs (a millisecond
// or so for these). They read as few catalogs as they can: a new server process plans each
// catalog it reads against cold caches, so the columns' index numbers and types come as
// numbers, named here. Built-in types are known by number; the types catalog is read only for
// a table with a column of another type (ColumnTypes). An index's name comes from the
// relation's number written as a name (RelationNameOf), which reads the server's cache rather
// than a catalog the server would plan a read of. Either costs a new server process a
// fraction of a millisecond at a first open. The table's number is worked out once, not for
// each index of the database. Values come in the server's own writing of their types (a
// number, a relation's name, "1 3" for an index's columns): a cast to text is one more thing a
// new server process looks up.
enum Question {
    // A relation's description, asked for by its name as the server reads it: the relation,
    // its columns and its indexes.
    kRelation,
    kColumns,
    kIndexes,
    // The spellings of the relations named among the words of the array $1, in the schemas a
    // bare name reaches, and of their columns: a statement's columns belong to the relations it
    // names, and this way the catalog is read by the relations' index rather than whole. Each
    // name with whether it names only text columns, and only boolean ones.
    kNames,
    kQuestions
};
constexpr const char* kQuestionSql[kQuestions] = {
    "SELECT c.oid, c.relkind, c.relname, has_table_privilege(c.oid, 'UPDATE'), "
    "c.relnamespace::regnamespace "
    "FROM pg_catalog.pg_class c WHERE c.oid = to_regclass(current_setting('kel.relation'))",
    "SELECT a.attname, format_type(a.atttypid, a.atttypmod), a.attnotnull, "
    "CASE WHEN a.atthasdef THEN (SELECT pg_get_expr(d.adbin, d.adrelid) "
    "FROM pg_catalog.pg_attrdef d WHERE d.adrelid = a.attrelid AND d.adnum = a.attnum) END, "
    "a.attidentity, a.atttypid, a.atttypmod, a.attgenerated, a.attnum "
    "FROM pg_catalog.pg_attribute a "
    "WHERE a.attrelid = to_regclass(current_setting('kel.relation')) AND a.attnum > 0 "
    "AND NOT a.attisdropped ORDER BY a.attnum",
    "SELECT x.indexrelid::pg_catalog.regclass, x.indisunique, x.indisprimary, "
    "x.indpred IS NOT NULL, x.indkey, x.indoption, x.indnkeyatts "
    "FROM pg_catalog.pg_index x "
    "WHERE x.indrelid = (SELECT to_regclass(current_setting('kel.relation')))",
    "WITH w AS (SELECT lower(x) AS l FROM unnest(current_setting('kel.words')::text[]) AS x), "
    "r AS (SELECT c.oid, c.relname FROM pg_catalog.pg_class c "
    "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
    "WHERE n.nspname = ANY (current_schemas(true)) AND c.relkind IN ('r','v','m','p','f') "
    "AND lower(c.relname) IN (SELECT l FROM w)) "
    "SELECT n, bool_and(t), bool_and(b) FROM (SELECT relname, NULL::boolean, NULL::boolean FROM r "
    "UNION ALL SELECT a.attname, a.atttypid IN ('text'::regtype, 'varchar'::regtype, "
    "'bpchar'::regtype), a.atttypid = 'bool'::regtype "
    "FROM r JOIN pg_catalog.pg_attribute a ON a.attrelid = r.oid "
    "WHERE a.attnum > 0 AND NOT a.attisdropped AND lower(a.attname) IN (SELECT l FROM w)) "
    "AS x(n, t, b) GROUP BY n"};
constexpr Question kDescription[] = {kRelation, kColumns, kIndexes};
constexpr unsigned Bit(Question q) {
    return 1u << q;
}
constexpr unsigned kDescribing = Bit(kRelation) | Bit(kColumns) | Bit(kIndexes);
// The setting a question reads its argument from, and the command that sets it ($1: the value).
const char* Setting(Question q) {
    return q == kNames ? "SELECT pg_catalog.set_config('kel.words', $1, false)"
                       : "SELECT pg_catalog.set_config('kel.relation', $1, false)";
}

// What the types catalog says of a type a column has: whether it is a domain, and then its
// base type and the domain's modifier (its length or precision).
struct ColumnType {
    bool domain = false;
    Oid base = 0;
    int typmod = -1;
};

// The catalog's questions prepared on a connection: their generation (0: none) and which of
// them. Each is prepared the first time it is asked: a fresh server process parses one in
// half a millisecond or so, and most opens never look names up. With them, the types the
// types catalog described on the connection: a type keeps its number, and what is asked of it
// here (domain or not, its base, a domain's modifier) no command changes, so that a table's
// next description asks nothing of them. And the reads that follow a preparation (a grid's
// first key run), prepared under names of their own and kept the same way, each by its text: a
// reopen runs the plan the server made of it the first time rather than parse and plan it again.
// The server plans such a read again by itself where the catalog changed under it, and one
// that fails is let go of and prepared anew.
struct PreparedQuestions {
    int generation = 0;
    unsigned prepared = 0; // Bit(q) for each question prepared
    std::map<Oid, ColumnType> types;
    std::map<std::string, std::string> reads; // name by text
};
constexpr size_t kMostKeptReads = 16;

// A name for a read kept on a connection, unique in the process: a connection outlives the
// session that numbered its other statements.
std::string KeptReadName() {
    static std::atomic<std::uint64_t> kept{0};
    return "kel_kept" + std::to_string(++kept);
}

// The names of the catalog's questions prepared on a connection: a generation of its own
// each time, so that a preparation cut short leaves no name the next one would need.
std::string QuestionName(int generation, int question) {
    return "kel_catalog" + std::to_string(generation) + "_" + std::to_string(question);
}
int NextQuestionGeneration() {
    static std::atomic<int> generations{0};
    return ++generations;
}

bool ReadsOnly(std::string_view sql);
bool BeginsTransaction(std::string_view sql);

// A read sent before it is asked for: the read (PrepareRead) that followed a statement's
// preparation last time on a connection of that name is sent along with the next preparation
// of the same statement, and taken as its answer when the same read with the same values comes
// next. A grid's reopen thus costs one exchange, its first key run riding with the statement's
// preparation. Only a statement that writes nothing is sent so (a key run that maps its keys
// writes the map, and at another moment would map them otherwise): one not taken costs
// nothing but its work. Keyed by the connection's name and the prepared text; the oldest goes
// first.
struct FollowingRead {
    std::string text;
    std::vector<std::optional<std::string>> values; // as text; none: NULL
};
class FollowingReads {
public:
    static FollowingReads& Instance() {
        static auto* reads = new FollowingReads; // never destroyed: used from destructors at exit
        return *reads;
    }
    std::optional<FollowingRead> Find(const std::string& key) {
        std::lock_guard<std::mutex> lock(m_lock);
        const auto it = std::find_if(m_reads.begin(), m_reads.end(),
                                     [&](const auto& r) { return r.first == key; });
        return it == m_reads.end() ? std::nullopt : std::optional<FollowingRead>(it->second);
    }
    void Learn(const std::string& key, FollowingRead read) {
        std::lock_guard<std::mutex> lock(m_lock);
        std::erase_if(m_reads, [&](const auto& r) { return r.first == key; });
        if (m_reads.size() >= kMost)
            m_reads.erase(m_reads.begin());
        m_reads.emplace_back(key, std::move(read));
    }
    void Forget(const std::string& key) {
        std::lock_guard<std::mutex> lock(m_lock);
        std::erase_if(m_reads, [&](const auto& r) { return r.first == key; });
    }

private:
    static constexpr size_t kMost = 64;
    std::mutex m_lock;
    std::vector<std::pair<std::string, FollowingRead>> m_reads; // oldest first
};

// What the engines share: the libpq connection, this connection's count of changed rows and
// the prepared statements to drop once the transaction allows. Statements hold it too, so
// that a statement outliving its connection object stays safe.
struct PgSession {
    ConnPtr conn;
    std::uint64_t ownChanges = 0;
    std::uint64_t nextStatement = 0;
    std::vector<std::string> toDeallocate;
    std::uint64_t roundTrips = 0; // exchanges with the server so far
    bool settled = false; // the session's settings came with the startup: a reset keeps them
    // The catalog's questions are prepared on the connection under this generation's names
    // as they are first asked, and stay while it lives, in the pool too: the server keeps the
    // plan it made of each at its first run, and a later open plans none of them.
    PreparedQuestions questions;

    // The names of the relations described lately, by oid, each with the number of the
    // description that read them: a statement prepared before that description may take
    // its columns' origins from it rather than ask again.
    struct RelationNames {
        std::uint64_t described = 0;
        std::string schema, relation;
        std::map<int, std::string> columns; // by attribute number
    };
    std::map<Oid, RelationNames> relations;
    std::uint64_t descriptions = 0;

    // An interrupt from another thread: a cancel request reaches the statement the server
    // runs; the flag fails the next exchange before it is sent, so that an interrupt that
    // comes between two statements (or whose request the server got while idle) is not lost.
    CancelPtr cancel;
    std::atomic<bool> stop{false};
    std::atomic<bool> busy{false};

    // What a reader of the same database takes over: the search path as a SET here left it
    // (empty: as the connect string gives it), and the lock timeout.
    std::mutex settingsLock;
    std::string searchPath;
    std::optional<int> lockTimeoutMs;
    bool refreshAtEnd = false; // a SET inside the open transaction: read again once it ends

    // A table's description asked for along with the next statement prepared: the relation
    // to ask for (empty: none), then its answers, kept until the next exchange.
    std::string describeAhead;
    std::optional<std::pair<std::string, std::vector<ResultPtr>>> describedAhead;
    // Names looked up along with the next statement prepared in the same way: the words'
    // array (empty: none), then the answer.
    std::string findAhead;
    std::optional<std::pair<std::string, ResultPtr>> foundAhead;
    // Tables made when first named (MakeWhenNamed): each one's name and what makes it; the
    // commands that make those named so far go first in the next exchange, and are kept
    // whatever becomes of what follows them.
    struct Making {
        std::string name;
        std::function<std::vector<std::string>()> make;
        bool queued = false; // its commands wait in makes, or are on their way
    };
    std::vector<std::string> makes;
    std::vector<Making> unmade;
    // The commands that make the tables text names go first in the next exchange; all of
    // them (everything) before a transaction begins, which could undo them.
    void MakeNamed(std::string_view text, bool everything = false) {
        if (unmade.empty())
            return;
        everything = everything || BeginsTransaction(text);
        for (Making& u : unmade) {
            if (u.queued || (!everything && text.find(u.name) == std::string_view::npos))
                continue;
            u.queued = true;
            for (std::string& sql : u.make())
                makes.push_back(std::move(sql));
        }
    }
    // The makes went: the tables they made are made, or, where they failed, are to be made
    // again when next named.
    void MakesDone(bool succeeded) {
        if (succeeded)
            std::erase_if(unmade, [](const Making& u) { return u.queued; });
        else
            for (Making& u : unmade)
                u.queued = false;
    }
    // The connect string, fixed at open: it names the connection for the pool and keys the
    // reads that follow a preparation (FollowingReads).
    std::string name;
    // The key of the statement prepared in the last exchange: a read in the next one follows it.
    std::string followed;
    // A read sent before it was asked for, prepared under its own name, and its answers; kept
    // until the next exchange, when it is let go of unless taken.
    struct Sent {
        std::string key, name;
        FollowingRead read;
        ResultPtr description, result;
    };
    std::optional<Sent> sentAhead;
    std::string FollowingKey(const std::string& text) const { return name + '\n' + text; }
    void DropSentAhead() {
        if (!sentAhead)
            return;
        if (!Kept(sentAhead->name))
            toDeallocate.push_back(sentAhead->name);
        FollowingReads::Instance().Forget(sentAhead->key); // it did not follow this time
        sentAhead.reset();
    }

    // Marks one exchange as running (an interrupt then cancels it); an interruptible one
    // fails at once for an interrupt that came before it.
    // One that only reads the catalog (keepsAhead) leaves the answers asked for ahead, the
    // read sent ahead and the commands waiting for the next exchange as they are: it changes
    // nothing they depend on.
    class Exchange {
    public:
        Exchange(PgSession& session, bool interruptible, bool keepsAhead = false)
            : m_session(session) {
            // Commands waiting to go with this exchange, where it cannot carry them.
            if (!keepsAhead && !m_session.makes.empty()) {
                try {
                    for (const std::string& sql : std::exchange(m_session.makes, {}))
                        m_session.Run(sql, 0, nullptr, false);
                } catch (const EngineError&) {
                    m_session.MakesDone(false);
                    throw;
                }
                m_session.MakesDone(true);
            }
            m_session.busy.store(true);
            if (interruptible && m_session.stop.exchange(false)) {
                m_session.busy.store(false);
                throw EngineError(EngineFailure::Interrupted, "57014",
                                  "The statement was interrupted.");
            }
            ++m_session.roundTrips;
            if (keepsAhead)
                return;
            m_session.describedAhead.reset(); // they may be out of date after this one
            m_session.foundAhead.reset();
            m_session.DropSentAhead();
            m_session.followed.clear();
        }
        ~Exchange() { m_session.busy.store(false); }
        Exchange(const Exchange&) = delete;
        Exchange& operator=(const Exchange&) = delete;

    private:
        PgSession& m_session;
    };

    // The server's failure; one for an interrupt spends the interrupt.
    EngineError Failure(const PGresult* r, std::string_view sql = {}) {
        EngineError error = ServerFailure(r, conn.get(), sql);
        if (error.Failure() == EngineFailure::Interrupted)
            stop.store(false);
        return error;
    }

    PGconn* get() const { return conn.get(); }
    bool InTransaction() const {
        const PGTransactionStatusType s = PQtransactionStatus(conn.get());
        return s == PQTRANS_INTRANS || s == PQTRANS_INERROR;
    }

    // Runs a simple command and throws its failure; keepsAhead: one that only reads the
    // catalog (Exchange).
    ResultPtr Run(const std::string& sql, int nParams = 0, const char* const* values = nullptr,
                  bool interruptible = true, bool keepsAhead = false) {
        ResultPtr r;
        {
            Exchange exchange(*this, interruptible, keepsAhead);
            r.reset(PQexecParams(conn.get(), sql.c_str(), nParams, nullptr, values, nullptr,
                                 nullptr, 0));
        }
        if (!Succeeded(r.get()))
            throw Failure(r.get(), sql);
        return r;
    }

    // Inside a transaction a failed statement would spoil the whole transaction; a savepoint
    // around it undoes the statement alone, as SQLite does.
    template <typename Exec> ResultPtr Guarded(Exec&& exec, std::string_view sql = {}) {
        const bool guard = PQtransactionStatus(conn.get()) == PQTRANS_INTRANS;
        if (guard)
            Run("SAVEPOINT kel_statement");
        ResultPtr r;
        {
            Exchange exchange(*this, true);
            r = exec();
        }
        if (!Succeeded(r.get())) {
            EngineError error = Failure(r.get(), sql);
            if (guard && PQtransactionStatus(conn.get()) == PQTRANS_INERROR) {
                Exchange exchange(*this, false);
                ResultPtr undo(PQexec(conn.get(), "ROLLBACK TO SAVEPOINT kel_statement; "
                                                  "RELEASE SAVEPOINT kel_statement"));
            }
            throw error;
        }
        // The statement is done: an interrupt that comes now is for the next one. One that
        // ended the transaction (COMMIT, ROLLBACK) took the savepoint with it.
        if (guard && PQtransactionStatus(conn.get()) == PQTRANS_INTRANS)
            Run("RELEASE SAVEPOINT kel_statement", 0, nullptr, false);
        ownChanges += static_cast<std::uint64_t>(ChangedBy(r.get()));
        return r;
    }

    // Statements no longer wanted are let go of in batches, one exchange for many, and never
    // inside a transaction, where a failure would spoil it.
    void Deallocate(const std::string& name) {
        if (Kept(name))
            return; // the connection's, not the statement's
        toDeallocate.push_back(name);
        if (toDeallocate.size() >= kDeallocateBatch)
            DeallocatePending();
    }
    void DeallocatePending() {
        if (toDeallocate.empty() || PQtransactionStatus(conn.get()) != PQTRANS_IDLE ||
            PQstatus(conn.get()) != CONNECTION_OK)
            return;
        std::string sql;
        for (const std::string& name : std::exchange(toDeallocate, {}))
            sql += "DEALLOCATE " + name + ";";
        Exchange exchange(*this, false);
        ResultPtr r(PQexec(conn.get(), sql.c_str()));
    }
    static constexpr size_t kDeallocateBatch = 16;

    bool Kept(const std::string& name) const {
        return std::any_of(questions.reads.begin(), questions.reads.end(),
                           [&](const auto& read) { return read.second == name; });
    }
    // Keeps the read prepared as name, unless as many are kept as may be: a kept read may be
    // any open statement's, so none is let go of to make room (the statement lets go of its
    // own then).
    bool Keep(const std::string& text, const std::string& name) {
        if (questions.reads.size() >= kMostKeptReads)
            return false;
        questions.reads[text] = name;
        return true;
    }
    // Lets go of a kept read whose plan no longer fits its table, or that is gone: the next
    // one of its text is prepared anew. (A statement that still runs it fails as it would.)
    void Unkeep(const std::string& text) {
        const auto it = questions.reads.find(text);
        if (it == questions.reads.end())
            return;
        const std::string name = it->second;
        questions.reads.erase(it);
        Deallocate(name);
    }

    // Commands sent at once and answered in one exchange (libpq's pipeline): what send queued,
    // each one's result in turn. Nothing when the pipeline is not to be had (inside a
    // transaction, where a failure would spoil it) and the caller goes one by one. asks: the
    // catalog's questions send asks (Bit of each, SendQuestion), prepared first where they are
    // not yet; arguments: their arguments, each set before them (Setting).
    using Argument = std::pair<Question, const char*>;
    template <typename Send>
    std::optional<std::vector<ResultPtr>> Pipelined(Send&& send, unsigned asks = 0,
                                                    const std::vector<Argument>& arguments = {}) {
        PGconn* c = conn.get();
        if (PQtransactionStatus(c) != PQTRANS_IDLE || !PQenterPipelineMode(c))
            return std::nullopt;
        // An interrupt that fails the exchange before it is sent leaves pipeline mode too.
        struct LeavePipeline {
            PGconn* c;
            bool armed = true;
            ~LeavePipeline() {
                if (armed)
                    PQexitPipelineMode(c);
            }
        } leave{c};
        // Questions whose preparation fails are not there: the next exchange prepares what it
        // asks anew, under a generation of its own.
        const unsigned toPrepare = asks & ~questions.prepared;
        std::vector<int> preparing;
        for (int q = 0; q < kQuestions; ++q)
            if (toPrepare & Bit(static_cast<Question>(q)))
                preparing.push_back(q);
        struct Unprepare {
            PreparedQuestions* questions;
            ~Unprepare() {
                if (questions)
                    *questions = PreparedQuestions{};
            }
        } unprepare{preparing.empty() ? nullptr : &questions};
        if (!preparing.empty() && questions.generation == 0)
            questions.generation = NextQuestionGeneration();
        std::vector<ResultPtr> results;
        bool sent = false;
        // The makes go first, taken before the exchange would send them alone, under a sync
        // of their own so that what they make stays whatever becomes of what follows.
        const std::vector<std::string> first = std::exchange(makes, {});
        const size_t making = first.size();
        struct Settle {
            PgSession& s;
            bool ran;
            bool succeeded = false;
            ~Settle() {
                if (ran)
                    s.MakesDone(succeeded);
            }
        } settle{*this, making > 0};
        int syncs = making > 0 ? 2 : 1;
        {
            Exchange exchange(*this, true);
            leave.armed = false;
            sent = true;
            for (size_t i = 0; sent && i < first.size(); ++i) {
                sent = PQsendQueryParams(c, first[i].c_str(), 0, nullptr, nullptr, nullptr, nullptr,
                                         0) == 1;
                if (sent && i + 1 == making)
                    sent = PQpipelineSync(c) == 1;
            }
            for (size_t i = 0; sent && i < preparing.size(); ++i)
                sent = PQsendPrepare(c, QuestionName(questions.generation, preparing[i]).c_str(),
                                     kQuestionSql[preparing[i]], 0, nullptr) == 1;
            for (size_t i = 0; sent && i < arguments.size(); ++i)
                sent = PQsendQueryParams(c, Setting(arguments[i].first), 1, nullptr,
                                         &arguments[i].second, nullptr, nullptr, 0) == 1;
            sent = sent && send(c) && PQpipelineSync(c);
            // Each command's result and a null after it, the sync's result last.
            while (sent) {
                ResultPtr r(PQgetResult(c));
                if (!r) {
                    if (PQstatus(c) != CONNECTION_OK)
                        break;
                    continue;
                }
                if (PQresultStatus(r.get()) == PGRES_PIPELINE_SYNC) {
                    if (--syncs == 0)
                        break;
                    continue;
                }
                results.push_back(std::move(r));
            }
            PQexitPipelineMode(c);
        }
        if (!sent)
            throw Failure(nullptr);
        // A make, a question's preparation or a setting that failed is the exchange's
        // failure.
        const size_t ahead = first.size() + preparing.size() + arguments.size();
        settle.succeeded =
            results.size() >= making &&
            std::all_of(results.begin(), results.begin() + static_cast<std::ptrdiff_t>(making),
                        [](const ResultPtr& r) { return Succeeded(r.get()); });
        for (size_t i = 0; i < ahead; ++i) {
            if (i >= results.size())
                throw Failure(nullptr);
            if (Succeeded(results[i].get()))
                continue;
            const size_t prepared = i - first.size(), argument = prepared - preparing.size();
            throw Failure(results[i].get(), i < first.size() ? first[i]
                                            : prepared < preparing.size()
                                                ? kQuestionSql[preparing[prepared]]
                                                : Setting(arguments[argument].first));
        }
        questions.prepared |= toPrepare;
        unprepare.questions = nullptr;
        results.erase(results.begin(), results.begin() + static_cast<std::ptrdiff_t>(ahead));
        return results;
    }

    // Queues one of the catalog's questions in a pipeline that asks them (Pipelined).
    bool SendQuestion(PGconn* c, Question q) const {
        return PQsendQueryPrepared(c, QuestionName(questions.generation, q).c_str(), 0, nullptr,
                                   nullptr, nullptr, 0) == 1;
    }

    // The catalog's questions with the same argument: each one's answer, or the first failure.
    template <size_t N>
    std::vector<ResultPtr> Ask(const Question (&asked)[N], const char* const* args) {
        // Each setting the questions read, set once.
        unsigned asks = 0;
        std::vector<Argument> arguments;
        for (Question q : asked) {
            asks |= Bit(q);
            if (std::none_of(arguments.begin(), arguments.end(), [&](const Argument& a) {
                    return std::string_view(Setting(a.first)) == Setting(q);
                }))
                arguments.emplace_back(q, args[0]);
        }
        std::optional<std::vector<ResultPtr>> results = Pipelined(
            [&](PGconn* c) {
                return std::all_of(std::begin(asked), std::end(asked),
                                   [&](Question q) { return SendQuestion(c, q); });
            },
            asks, arguments);
        if (!results) {
            for (const Argument& a : arguments)
                Run(Setting(a.first), 1, &a.second);
            results.emplace();
            for (Question q : asked)
                results->push_back(Run(kQuestionSql[q]));
            return std::move(*results);
        }
        for (size_t i = 0; i < results->size(); ++i)
            if (!Succeeded((*results)[i].get()))
                throw Failure((*results)[i].get(), i < N ? kQuestionSql[asked[i]] : "");
        if (results->size() != N)
            throw Failure(nullptr);
        return std::move(*results);
    }

    // The statement prepared under that name on the server, and its description: one
    // exchange outside a transaction, two inside one.
    ResultPtr PrepareNamed(const std::string& name, const std::string& text) {
        MakeNamed(text);
        // Names looked up and a table's description asked for first in the same exchange,
        // where they are expected.
        const std::string names = std::exchange(findAhead, std::string());
        const std::string ahead = std::exchange(describeAhead, std::string());
        std::vector<Argument> arguments;
        if (!names.empty())
            arguments.emplace_back(kNames, names.c_str());
        if (!ahead.empty())
            arguments.emplace_back(kRelation, ahead.c_str());
        constexpr size_t describing = std::size(kDescription);
        // The read that followed this preparation last time goes along, last, under a name of
        // its own, kept on the connection; its answers are the last three, or two where it was
        // kept prepared already.
        const std::string key = FollowingKey(text);
        std::optional<FollowingRead> follower = FollowingReads::Instance().Find(key);
        const auto keptRead =
            follower ? questions.reads.find(follower->text) : questions.reads.end();
        const bool kept = keptRead != questions.reads.end();
        const std::string followerName = kept       ? keptRead->second
                                         : follower ? KeptReadName()
                                                    : std::string();
        const size_t followerAnswers = kept ? 2 : 3;
        std::vector<const char*> followerValues;
        if (follower)
            for (const std::optional<std::string>& v : follower->values)
                followerValues.push_back(v ? v->c_str() : nullptr);
        std::optional<std::vector<ResultPtr>> results = Pipelined(
            [&](PGconn* c) {
                if (!names.empty() && !SendQuestion(c, kNames))
                    return false;
                for (size_t i = 0; i < (ahead.empty() ? 0 : describing); ++i)
                    if (!SendQuestion(c, kDescription[i]))
                        return false;
                if (!PQsendPrepare(c, name.c_str(), text.c_str(), 0, nullptr) ||
                    !PQsendDescribePrepared(c, name.c_str()))
                    return false;
                return !follower ||
                       ((kept || PQsendPrepare(c, followerName.c_str(), follower->text.c_str(), 0,
                                               nullptr)) &&
                        PQsendDescribePrepared(c, followerName.c_str()) &&
                        PQsendQueryPrepared(c, followerName.c_str(),
                                            static_cast<int>(followerValues.size()),
                                            followerValues.data(), nullptr, nullptr, 0));
            },
            (names.empty() ? 0 : Bit(kNames)) | (ahead.empty() ? 0 : kDescribing), arguments);
        std::optional<Sent> sent;
        if (results && follower && results->size() >= followerAnswers) {
            std::vector<ResultPtr> answers;
            if (kept)
                answers.emplace_back(); // prepared before
            for (auto it = results->end() - static_cast<std::ptrdiff_t>(followerAnswers);
                 it != results->end(); ++it)
                answers.push_back(std::move(*it));
            results->erase(results->end() - static_cast<std::ptrdiff_t>(followerAnswers),
                           results->end());
            const ExecStatusType prepared =
                kept ? PQresultStatus(answers[1].get()) : PQresultStatus(answers[0].get());
            if ((kept || prepared == PGRES_COMMAND_OK) && Succeeded(answers[1].get()) &&
                Succeeded(answers[2].get())) {
                if (!kept)
                    Keep(follower->text, followerName);
                sent = Sent{key, followerName, std::move(*follower), std::move(answers[1]),
                            std::move(answers[2])};
            } else if (prepared != PGRES_PIPELINE_ABORTED) {
                if (kept && (Stale(answers[1].get()) || Stale(answers[2].get())))
                    Unkeep(follower->text);
                else if (!kept && prepared == PGRES_COMMAND_OK)
                    toDeallocate.push_back(followerName);
                FollowingReads::Instance().Forget(key); // it fails here: not again
            }
        }
        if (results && !names.empty()) {
            if (results->empty() || !Succeeded(results->front().get()))
                return PrepareNamed(name, text); // the statement alone, as it would have gone
            // Kept even when the statement fails: the names may tell why.
            foundAhead.emplace(names, std::move(results->front()));
            results->erase(results->begin());
        }
        std::vector<ResultPtr> described;
        if (results && !ahead.empty()) {
            const size_t n = std::min(results->size(), describing);
            for (size_t i = 0; i < n; ++i)
                described.push_back(std::move((*results)[i]));
            results->erase(results->begin(), results->begin() + static_cast<std::ptrdiff_t>(n));
            if (n < describing ||
                !std::all_of(described.begin(), described.end(),
                             [](const ResultPtr& r) { return Succeeded(r.get()); }))
                return PrepareNamed(name, text); // the statement alone, as it would have gone
        }
        // Kept even when the statement fails: the description may tell why.
        if (!described.empty())
            describedAhead.emplace(ahead, std::move(described));
        ResultPtr description;
        if (results) {
            if (results->empty())
                throw Failure(nullptr);
            if (!Succeeded(results->front().get()))
                throw Failure(results->front().get(), text); // not prepared
            if (results->size() > 1)
                description = std::move((*results)[1]);
        } else {
            Guarded(
                [&] {
                    return ResultPtr(PQprepare(conn.get(), name.c_str(), text.c_str(), 0, nullptr));
                },
                text);
            Exchange exchange(*this, false);
            description.reset(PQdescribePrepared(conn.get(), name.c_str()));
        }
        if (!Succeeded(description.get())) {
            EngineError error = Failure(description.get());
            Deallocate(name);
            throw error;
        }
        sentAhead = std::move(sent);
        followed = key;
        return description;
    }

    // Prepares, describes and runs a read in one exchange, its values sent as text; nothing
    // when that cannot be (inside a transaction) and the caller goes the usual way. A failure
    // after the preparation is the caller's to judge: description holds what the server said
    // of the statement.
    // When the same read with the same values was sent ahead (PrepareNamed), its answers are
    // taken without an exchange, and name becomes the one it was prepared under.
    std::optional<ResultPtr> PrepareAndRun(std::string& name, const std::string& text,
                                           const std::vector<const char*>& values,
                                           const std::vector<int>& lengths,
                                           ResultPtr& description) {
        MakeNamed(text);
        FollowingRead read{text, {}};
        for (size_t i = 0; i < values.size(); ++i)
            read.values.push_back(values[i] ? std::optional<std::string>(std::string(
                                                  values[i], static_cast<size_t>(lengths[i])))
                                            : std::nullopt);
        if (sentAhead && makes.empty() && !InTransaction() && sentAhead->read.text == text &&
            sentAhead->read.values == read.values) {
            name = sentAhead->name;
            description = std::move(sentAhead->description);
            ResultPtr result = std::move(sentAhead->result);
            sentAhead.reset();
            followed.clear();
            return result;
        }
        // A read right after a preparation is learnt as its follower, and kept prepared on
        // the connection under a name of its own; one kept already is run as it is.
        const std::string after = followed;
        const bool follows = !after.empty() && ReadsOnly(text);
        const auto keptRead = questions.reads.find(text);
        const bool kept = keptRead != questions.reads.end();
        const std::string prepared = kept ? keptRead->second : follows ? KeptReadName() : name;
        const int n = static_cast<int>(values.size());
        std::optional<std::vector<ResultPtr>> results = Pipelined([&](PGconn* c) {
            return (kept || PQsendPrepare(c, prepared.c_str(), text.c_str(), 0, nullptr)) &&
                   PQsendDescribePrepared(c, prepared.c_str()) &&
                   PQsendQueryPrepared(c, prepared.c_str(), n, values.data(), lengths.data(),
                                       nullptr, 0);
        });
        if (!results)
            return std::nullopt;
        if (kept) {
            results->insert(results->begin(), ResultPtr()); // prepared before
            // A plan the catalog's change left unfit, or a statement gone: prepared anew.
            if (std::any_of(results->begin(), results->end(),
                            [](const ResultPtr& r) { return Stale(r.get()); })) {
                Unkeep(text);
                return PrepareAndRun(name, text, values, lengths, description);
            }
        }
        if (results->size() != 3) {
            const auto first = std::find_if(results->begin(), results->end(),
                                            [](const ResultPtr& r) { return r != nullptr; });
            throw Failure(first == results->end() ? nullptr : first->get());
        }
        if (!kept && !Succeeded((*results)[0].get()))
            throw Failure((*results)[0].get(), text); // not prepared: nothing to let go of
        if (!Succeeded((*results)[1].get())) {
            EngineError error = Failure((*results)[1].get());
            if (kept)
                Unkeep(text);
            else
                Deallocate(prepared);
            throw error;
        }
        description = std::move((*results)[1]);
        if (prepared != name) {
            if (!kept)
                Keep(text, prepared);
            name = prepared;
        }
        if (follows && Succeeded((*results)[2].get()))
            FollowingReads::Instance().Learn(after, std::move(read));
        return std::move((*results)[2]);
    }
};

std::string FormatReal(double v) {
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v > 0 ? "Infinity" : "-Infinity";
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, end);
}

std::string TypeName(Oid type, int typmod) {
    switch (type) {
    case kBool:
        return "boolean";
    case kBytea:
        return "bytea";
    case kInt2:
        return "smallint";
    case kInt4:
        return "integer";
    case kInt8:
        return "bigint";
    case kOid:
        return "oid";
    case kText:
        return "text";
    case kName:
        return "name";
    case kFloat4:
        return "real";
    case kFloat8:
        return "double precision";
    case kNumeric:
        if (typmod >= 4)
            return "numeric(" + std::to_string(((typmod - 4) >> 16) & 0xFFFF) + "," +
                   std::to_string((typmod - 4) & 0xFFFF) + ")";
        return "numeric";
    case kVarchar:
        return typmod >= 4 ? "character varying(" + std::to_string(typmod - 4) + ")"
                           : "character varying";
    case kBpchar:
        return typmod >= 4 ? "character(" + std::to_string(typmod - 4) + ")" : "character";
    case kDate:
        return "date";
    case kTime:
        return "time without time zone";
    case kTimestamp:
        return "timestamp without time zone";
    case kTimestamptz:
        return "timestamp with time zone";
    case kUuid:
        return "uuid";
    case kJson:
        return "json";
    case kJsonb:
        return "jsonb";
    default:
        return {};
    }
}

using kel::core::HexDigit;

EngineValue ReadValue(const PGresult* r, int row, int column) {
    if (PQgetisnull(r, row, column))
        return EngineValue::Null();
    const char* text = PQgetvalue(r, row, column);
    const std::string_view v(text, static_cast<size_t>(PQgetlength(r, row, column)));
    auto bad = [&]() {
        return EngineError(EngineFailure::Conversion, {},
                           "The server sent '" + std::string(v) + "' for a column of type " +
                               TypeName(PQftype(r, column), -1) + ".");
    };
    switch (PQftype(r, column)) {
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid: {
        std::int64_t n = 0;
        const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
        if (ec != std::errc() || end != v.data() + v.size())
            throw bad();
        return EngineValue::Integer(n);
    }
    case kFloat4:
    case kFloat8:
    case kNumeric: {
        if (v == "NaN")
            return EngineValue::Real(std::numeric_limits<double>::quiet_NaN());
        if (v == "Infinity")
            return EngineValue::Real(std::numeric_limits<double>::infinity());
        if (v == "-Infinity")
            return EngineValue::Real(-std::numeric_limits<double>::infinity());
        double d = 0;
        const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), d);
        if (ec == std::errc::result_out_of_range) {
            // Beyond a double or below its smallest normal: strtod's nearest value.
            static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
            return EngineValue::Real(strtod_l(std::string(v).c_str(), nullptr, c));
        }
        if (ec != std::errc() || end != v.data() + v.size())
            throw bad();
        return EngineValue::Real(d);
    }
    case kBool:
        return EngineValue::Integer(v == "t" ? -1 : 0);
    case kTimestamp:
    case kTimestamptz: {
        // The session's time zone is UTC: the offset is always +00. Midnight reads as the
        // date alone, as dates are stored in SQLite.
        std::string_view s = v;
        if (s.size() > 3 && s.substr(s.size() - 3) == "+00")
            s.remove_suffix(3);
        if (s.size() == 19 && s.substr(10) == " 00:00:00")
            s.remove_suffix(9);
        return EngineValue::Text(s);
    }
    case kBytea: {
        if (v.size() < 2 || v[0] != '\\' || v[1] != 'x' || v.size() % 2 != 0)
            throw bad();
        std::string bytes;
        bytes.reserve(v.size() / 2 - 1);
        for (size_t i = 2; i < v.size(); i += 2) {
            const int hi = HexDigit(v[i]), lo = HexDigit(v[i + 1]);
            if (hi < 0 || lo < 0)
                throw bad();
            bytes += static_cast<char>(hi * 16 + lo);
        }
        return EngineValue::Blob(bytes);
    }
    default:
        return EngineValue::Text(v);
    }
}

short DaoTypeOf(std::string_view typname, int typmod, long& size);

// The catalog's name of the built-in types a result column may have; empty for others.
std::string_view TypeNameOf(Oid type) {
    switch (type) {
    case kBool:
        return "bool";
    case kBytea:
        return "bytea";
    case kInt2:
        return "int2";
    case kInt4:
        return "int4";
    case kInt8:
        return "int8";
    case kFloat4:
        return "float4";
    case kFloat8:
        return "float8";
    case kNumeric:
        return "numeric";
    case kVarchar:
        return "varchar";
    case kBpchar:
        return "bpchar";
    case kDate:
        return "date";
    case kTime:
        return "time";
    case kTimestamp:
        return "timestamp";
    case kTimestamptz:
        return "timestamptz";
    case kUuid:
        return "uuid";
    default:
        return {};
    }
}

// Whether a statement only reads: a SELECT, VALUES or TABLE, or a WITH whose parts do not
// write, and no SELECT ... INTO (which makes a table).
bool ReadsOnly(std::string_view sql) {
    const std::vector<SqlToken> t = SignificantTokens(sql);
    if (t.empty())
        return false;
    if (!t[0].IsWord("SELECT") && !t[0].IsWord("VALUES") && !t[0].IsWord("TABLE") &&
        !t[0].IsWord("WITH") && !t[0].Is(TokenKind::LParen))
        return false;
    for (const SqlToken& token : t)
        for (std::string_view verb : {"INSERT", "UPDATE", "DELETE", "MERGE", "INTO", "TRUNCATE"})
            if (token.IsWord(verb))
                return false;
    return true;
}

class PgStatement final : public EngineStatement {
public:
    // Without a description, the statement is not on the server yet: its first step
    // prepares it (PrepareRead).
    PgStatement(std::shared_ptr<PgSession> session, std::string name, ResultPtr description,
                std::string sql, std::vector<int> numbers)
        : m_session(std::move(session)), m_name(std::move(name)),
          m_description(std::move(description)), m_sql(std::move(sql)),
          m_numbers(std::move(numbers)),
          m_values(static_cast<size_t>(
              m_description
                  ? PQnparams(m_description.get())
                  : (m_numbers.empty() ? 0
                                       : *std::max_element(m_numbers.begin(), m_numbers.end())))) {}
    ~PgStatement() override {
        if (m_description)
            m_session->Deallocate(m_name);
    }
    PgStatement(const PgStatement&) = delete;
    PgStatement& operator=(const PgStatement&) = delete;

    // Numbered as the statement's text numbers them; a number it skips takes any value.
    int ParameterCount() const override { return static_cast<int>(m_numbers.size()); }

    void Bind(int index, const EngineValue& value) override {
        if (index < 1 || index > ParameterCount())
            throw EngineError(EngineFailure::InvalidArgument, {},
                              "There is no parameter " + std::to_string(index) + ".");
        if (value.kind == EngineValue::Kind::Text && value.bytes.find('\0') != std::string::npos)
            throw EngineError(
                EngineFailure::Conversion, {},
                "Text with a NUL character cannot be stored as text; store it as binary.");
        Reset();
        if (const int number = m_numbers[static_cast<size_t>(index - 1)])
            m_values[static_cast<size_t>(number - 1)] = value;
    }

    bool Step() override {
        if (!m_result) {
            Run();
            m_row = -1;
        }
        if (m_row + 1 < PQntuples(m_result.get())) {
            ++m_row;
            return true;
        }
        // Done: the next step runs the statement again, as SQLite's does.
        Reset();
        return false;
    }

    void Reset() override {
        m_result.reset();
        m_row = -1;
    }

    int ColumnCount() const override { return PQnfields(Described()); }
    std::string ColumnName(int column) const override {
        const char* name = PQfname(Described(), column);
        return name ? name : "";
    }
    std::string ColumnType(int column) const override {
        return TypeName(PQftype(Described(), column), PQfmod(Described(), column));
    }
    EngineValue Column(int column) const override {
        if (!m_result || m_row < 0 || m_row >= PQntuples(m_result.get()) || column < 0 ||
            column >= PQnfields(m_result.get()))
            throw EngineError(EngineFailure::InvalidArgument, {}, "No row or no such column.");
        return ReadValue(m_result.get(), m_row, column);
    }
    std::int64_t ChangedRows() const override { return m_changed; }

    bool ReadOnly() const override { return ReadsOnly(m_sql); }

    short ColumnDaoType(int column, long& size) const override {
        size = 0;
        const std::string_view name = TypeNameOf(PQftype(Described(), column));
        if (name.empty())
            return 0;
        return DaoTypeOf(name, PQfmod(Described(), column), size);
    }

    // The table and column of each result column that reads one unchanged, found for all of
    // them in one exchange with the server when first asked.
    ColumnSource ColumnOrigin(int column) const override {
        if (column < 0 || column >= ColumnCount())
            return {};
        if (!m_origins) {
            m_origins.emplace(static_cast<size_t>(ColumnCount()));
            std::string pairs;
            for (int i = 0; i < ColumnCount(); ++i) {
                const Oid table = PQftable(Described(), i);
                const int attnum = PQftablecol(Described(), i);
                if (table == InvalidOid || attnum <= 0)
                    continue;
                // A relation described since this statement was made names it as it is now.
                const auto known = m_session->relations.find(table);
                if (known != m_session->relations.end() && known->second.described > m_described) {
                    const auto column = known->second.columns.find(attnum);
                    if (column != known->second.columns.end()) {
                        (*m_origins)[static_cast<size_t>(i)] = {
                            known->second.schema, known->second.relation, column->second};
                        continue;
                    }
                }
                pairs += (pairs.empty() ? "" : ",") + std::string("(") + std::to_string(i) + "," +
                         std::to_string(table) + "," + std::to_string(attnum) + ")";
            }
            if (!pairs.empty()) {
                ResultPtr r = m_session->Run(
                    "SELECT p.i, n.nspname, c.relname, a.attname FROM (VALUES " + pairs +
                    ") AS p(i, rel, att) JOIN pg_catalog.pg_class c ON c.oid = p.rel::oid "
                    "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
                    "JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid AND a.attnum = p.att");
                for (int row = 0; row < PQntuples(r.get()); ++row) {
                    const size_t i = std::strtoul(PQgetvalue(r.get(), row, 0), nullptr, 10);
                    if (i < m_origins->size())
                        (*m_origins)[i] = {PQgetvalue(r.get(), row, 1), PQgetvalue(r.get(), row, 2),
                                           PQgetvalue(r.get(), row, 3)};
                }
            }
        }
        return (*m_origins)[static_cast<size_t>(column)];
    }

private:
    // The server's description, asked for first where the statement is not prepared yet.
    const PGresult* Described() const {
        if (!m_description)
            m_description = m_session->PrepareNamed(m_name, m_sql);
        return m_description.get();
    }

    // The bound values as libpq takes them; values point into text.
    struct Encoded {
        std::vector<std::string> text;
        std::vector<const char*> values;
        std::vector<int> lengths, formats;
    };

    // Each value in the form its parameter's type reads: bytea as binary, booleans from
    // numbers as Jet writes them (-1/0), everything else as text. Without a description (the
    // types not known yet) every value is text as it stands.
    Encoded Encode(const PGresult* description) const {
        const size_t n = m_values.size();
        Encoded e{std::vector<std::string>(n), std::vector<const char*>(n, nullptr),
                  std::vector<int>(n, 0), std::vector<int>(n, 0)};
        for (size_t i = 0; i < n; ++i) {
            const EngineValue& v = m_values[i];
            const Oid type =
                description ? PQparamtype(description, static_cast<int>(i)) : InvalidOid;
            std::string& text = e.text[i];
            switch (v.kind) {
            case EngineValue::Kind::Null:
                continue;
            case EngineValue::Kind::Integer:
                text = type == kBool ? (v.integer ? "true" : "false") : std::to_string(v.integer);
                break;
            case EngineValue::Kind::Real:
                text = type == kBool ? (v.real != 0 ? "true" : "false") : FormatReal(v.real);
                break;
            case EngineValue::Kind::Text:
            case EngineValue::Kind::Blob:
                text = v.bytes;
                if (type == kBool) {
                    std::int64_t number = 0;
                    const auto [end, ec] =
                        std::from_chars(v.bytes.data(), v.bytes.data() + v.bytes.size(), number);
                    if (ec == std::errc() && end == v.bytes.data() + v.bytes.size())
                        text = number ? "true" : "false";
                }
                if (type == kBytea || v.kind == EngineValue::Kind::Blob) {
                    if (type != kBytea && v.bytes.find('\0') != std::string::npos)
                        throw EngineError(EngineFailure::Conversion, {},
                                          "Binary data cannot be stored in a text column.");
                    e.formats[i] = type == kBytea ? 1 : 0;
                }
                break;
            }
            e.values[i] = text.c_str();
            e.lengths[i] = static_cast<int>(text.size());
        }
        return e;
    }

    // A statement not yet prepared goes to the server with its values as text, in the
    // exchange that prepares it. Its rows stand where that text reads as the typed values
    // would (no boolean or binary parameter takes a value); otherwise it runs again, typed,
    // which is why only a statement that may run twice is deferred. Bytes go the typed way at
    // once.
    bool RunFirst() {
        for (const EngineValue& v : m_values)
            if (v.kind == EngineValue::Kind::Blob)
                return false;
        const Encoded e = Encode(nullptr);
        ResultPtr description;
        std::optional<ResultPtr> result =
            m_session->PrepareAndRun(m_name, m_sql, e.values, e.lengths, description);
        if (!result)
            return false;
        m_description = std::move(description);
        for (size_t i = 0; i < e.values.size(); ++i) {
            const Oid type = PQparamtype(m_description.get(), static_cast<int>(i));
            if (e.values[i] && (type == kBool || type == kBytea))
                return false;
        }
        if (!Succeeded(result->get()))
            throw m_session->Failure(result->get());
        m_result = std::move(*result);
        m_changed = ChangedBy(m_result.get());
        return true;
    }

    void Run() {
        if (!m_description && RunFirst())
            return;
        const Encoded e = Encode(Described());
        PgSession& s = *m_session;
        m_result = s.Guarded([&] {
            return ResultPtr(PQexecPrepared(s.get(), m_name.c_str(),
                                            static_cast<int>(e.values.size()), e.values.data(),
                                            e.lengths.data(), e.formats.data(), 0));
        });
        m_changed = ChangedBy(m_result.get());
    }

    std::shared_ptr<PgSession> m_session;
    std::string m_name;
    mutable ResultPtr m_description;
    std::string m_sql;
    std::vector<int> m_numbers; // the server's number of each parameter, 0 for one not used
    mutable std::optional<std::vector<ColumnSource>> m_origins;
    // The session's descriptions when this statement was made.
    std::uint64_t m_described = m_session->descriptions;
    std::vector<EngineValue> m_values;
    ResultPtr m_result;
    int m_row = -1;
    std::int64_t m_changed = 0;
};

short DaoTypeOf(std::string_view typname, int typmod, long& size) {
    size = 0;
    if (typname == "bool") {
        size = 1;
        return dbBoolean;
    }
    if (typname == "int2") {
        size = 2;
        return dbInteger;
    }
    if (typname == "int4") {
        size = 4;
        return dbLong;
    }
    if (typname == "float4") {
        size = 4;
        return dbSingle;
    }
    // bigint has no DAO field type; its values stay exact 64-bit integers through the seam.
    if (typname == "int8" || typname == "float8") {
        size = 8;
        return dbDouble;
    }
    if (typname == "numeric") {
        size = 8;
        // Currency holds 15 digits before the point and 4 after it.
        if (typmod >= 4) {
            const int precision = ((typmod - 4) >> 16) & 0xFFFF, scale = (typmod - 4) & 0xFFFF;
            if (scale <= 4 && precision - scale <= 15)
                return dbCurrency;
        }
        return dbDouble;
    }
    if (typname == "money") {
        size = 8;
        return dbCurrency;
    }
    if (typname == "date" || typname == "timestamp" || typname == "timestamptz" ||
        typname == "time") {
        size = 8;
        return dbDate;
    }
    if (typname == "bytea")
        return dbLongBinary;
    if ((typname == "varchar" || typname == "bpchar") && typmod >= 4) {
        size = typmod - 4;
        return dbText;
    }
    if (typname == "uuid") {
        size = 36;
        return dbText;
    }
    return dbMemo; // text, unbounded varchar, json and whatever else reads as text
}

// Whether a statement may change a setting of the session (SET, RESET, DISCARD) or end a
// transaction (which undoes a SET made inside it when it rolls back, and a SET LOCAL always).
bool ChangesSettings(std::string_view sql) {
    const std::vector<SqlToken> t = SignificantTokens(sql);
    return !t.empty() && (t[0].IsWord("SET") || t[0].IsWord("RESET") || t[0].IsWord("DISCARD"));
}
bool EndsTransaction(std::string_view sql) {
    const std::vector<SqlToken> t = SignificantTokens(sql);
    if (t.empty())
        return false;
    for (std::string_view verb : {"COMMIT", "END", "ROLLBACK", "ABORT"})
        if (t[0].IsWord(verb))
            return true;
    return false;
}

// Whether a statement begins a transaction (BEGIN, START TRANSACTION).
bool BeginsTransaction(std::string_view sql) {
    const std::vector<SqlToken> t = SignificantTokens(sql);
    return !t.empty() && (t[0].IsWord("BEGIN") || t[0].IsWord("START"));
}

// Connections closed cleanly wait here a while for an open of the same name, as the
// data-access engine kept its server connections: a reopen then skips the connect and meets a
// server process whose catalog caches are warm. A connection comes here reset as DISCARD ALL
// resets one (no transaction, temporary table, lock, setting or prepared statement of the
// last user stays), but for the catalog's questions, which are the data access's own.
class IdleConnections {
public:
    // Never destroyed, so that a database a static object closes at exit, after the pool's
    // own time would have ended, still finds it; at exit it closes what it holds and keeps
    // nothing from then on.
    static IdleConnections& Instance() {
        static IdleConnections* pool = [] {
            auto* made = new IdleConnections;
            std::atexit([] { Instance().SetTimeout(std::chrono::seconds(0)); });
            return made;
        }();
        return *pool;
    }
    // A connection kept for name, opened read-only or not; settled: its startup carried the
    // session's settings, so that the reset on the way in left them in force; questions: the
    // catalog's questions prepared on it.
    ConnPtr Take(const std::string& name, bool readOnly, bool* settled,
                 PreparedQuestions* questions) {
        std::lock_guard<std::mutex> lock(m_lock);
        Expire();
        for (auto it = m_idle.rbegin(); it != m_idle.rend(); ++it) {
            if (it->name == name && it->readOnly == readOnly) {
                ConnPtr conn = std::move(it->conn);
                *settled = it->settled;
                *questions = it->questions;
                m_idle.erase(std::next(it).base());
                return conn;
            }
        }
        return nullptr;
    }
    // Takes conn unless none are kept; the oldest goes when too many wait.
    void Give(const std::string& name, bool readOnly, bool settled, PreparedQuestions questions,
              ConnPtr conn) {
        std::lock_guard<std::mutex> lock(m_lock);
        Expire();
        if (m_timeout.count() <= 0)
            return;
        if (m_idle.size() >= kMost)
            m_idle.erase(m_idle.begin());
        m_idle.push_back({name, readOnly, settled, questions, std::move(conn), Clock::now()});
    }
    bool Keeps() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_timeout.count() > 0;
    }
    void SetTimeout(std::chrono::seconds timeout) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_timeout = timeout;
        Expire();
    }

private:
    using Clock = std::chrono::steady_clock;
    struct Idle {
        std::string name;
        bool readOnly;
        bool settled;
        PreparedQuestions questions;
        ConnPtr conn;
        Clock::time_point since;
    };
    static constexpr size_t kMost = 8;
    void Expire() {
        const Clock::time_point now = Clock::now();
        std::erase_if(m_idle, [&](const Idle& i) { return now - i.since >= m_timeout; });
    }
    std::mutex m_lock;
    std::vector<Idle> m_idle; // oldest first
    // A minute: shorter than the idle timeouts of common NAT routers, which drop a connection
    // silently, so that a kept one is not met dead and hanging.
    std::chrono::seconds m_timeout{60};
};

// Resets a connection for the next user as DISCARD ALL would, in one exchange, but keeps the
// catalog's prepared questions and the reads kept: any other prepared statement goes
// (DEALLOCATE ALL, with those, when one is not the data access's own). False when the
// connection is not fit to keep.
bool Reset(PgSession& s) {
    PGconn* conn = s.conn.get();
    s.DropSentAhead();
    if (s.questions.generation == 0 && s.questions.reads.empty())
        return Succeeded(ResultPtr(PQexec(conn, "DISCARD ALL")).get());
    std::string sql;
    for (const std::string& name : std::exchange(s.toDeallocate, {}))
        sql += "DEALLOCATE " + name + "; ";
    // The parts of DISCARD ALL but DEALLOCATE ALL and DISCARD PLANS (the server drops a plan
    // that a change of the catalog makes stale by itself).
    sql += "CLOSE ALL; SET SESSION AUTHORIZATION DEFAULT; RESET ALL; UNLISTEN *; "
           "SELECT pg_catalog.pg_advisory_unlock_all(); DISCARD TEMP; DISCARD SEQUENCES; "
           "SELECT count(*) FROM pg_catalog.pg_prepared_statements WHERE name <> ALL ('{";
    std::vector<std::string> kept;
    for (int q = 0; q < kQuestions && s.questions.generation != 0; ++q)
        kept.push_back(QuestionName(s.questions.generation, q));
    for (const auto& [text, name] : s.questions.reads)
        kept.push_back(name);
    for (size_t i = 0; i < kept.size(); ++i)
        sql += (i ? "," : "") + kept[i];
    sql += "}')";
    const ResultPtr reset(PQexec(conn, sql.c_str()));
    if (!Succeeded(reset.get()) || PQntuples(reset.get()) != 1)
        return false;
    if (std::string_view(PQgetvalue(reset.get(), 0, 0)) == "0")
        return true;
    s.questions = PreparedQuestions{};
    return Succeeded(ResultPtr(PQexec(conn, "DEALLOCATE ALL")).get());
}

class PgConnection final : public EngineConnection {
public:
    PgConnection(std::shared_ptr<PgSession> session, bool readOnly)
        : m_session(std::move(session)), m_readOnly(readOnly) {}
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;
    // A connection nothing else holds, idle outside a transaction, is reset and kept for the
    // next open of the same name; any other closes.
    ~PgConnection() override {
        PGconn* conn = m_session->conn.get();
        if (m_session.use_count() != 1 || conn == nullptr || PQstatus(conn) != CONNECTION_OK ||
            PQtransactionStatus(conn) != PQTRANS_IDLE || !IdleConnections::Instance().Keeps())
            return;
        if (!Reset(*m_session) || PQtransactionStatus(conn) != PQTRANS_IDLE)
            return;
        IdleConnections::Instance().Give(m_session->name, m_readOnly, m_session->settled,
                                         m_session->questions, std::move(m_session->conn));
    }

    std::string EngineName() const override { return "PostgreSQL"; }
    bool IsReadOnly() const override { return m_readOnly; }
    const Dialect& GetDialect() const override { return m_dialect; }

    std::unique_ptr<EngineStatement> Prepare(std::string_view sql) override {
        return Named(sql, false);
    }

    // Sends nothing until its first step, which prepares and runs it at once.
    std::unique_ptr<EngineStatement> PrepareRead(std::string_view sql) override {
        return Named(sql, true);
    }

    std::unique_ptr<EngineStatement> PrepareFirst(std::string_view sql,
                                                  std::string_view& rest) override {
        const LexResult lex = LexSql(sql, SqlDialect::Sqlite);
        if (!lex.ok)
            throw EngineError(EngineFailure::Syntax, {},
                              "The statement leaves a " + lex.error + " open.");
        size_t end = sql.size();
        bool any = false;
        for (const SqlToken& t : lex.tokens) {
            if (t.Is(TokenKind::Semicolon) && any) {
                end = static_cast<size_t>(t.text.data() - sql.data()) + t.text.size();
                break;
            }
            any = any || (!t.Is(TokenKind::Space) && !t.Is(TokenKind::Semicolon));
        }
        rest = sql.substr(end);
        if (!any) {
            rest = {};
            return nullptr;
        }
        std::string_view first = sql.substr(0, end);
        while (!first.empty() && first.back() == ';')
            first.remove_suffix(1);
        return Prepare(first);
    }

    std::uint64_t RoundTrips() const override { return m_session->roundTrips; }

    // How long a statement waits for another connection's row lock.
    void SetBusyTimeout(int milliseconds) override {
        const int ms = std::max(milliseconds, 0);
        m_session->Run("SET lock_timeout = " + std::to_string(ms));
        std::lock_guard<std::mutex> lock(m_session->settingsLock);
        m_session->lockTimeoutMs = ms;
    }

    void MakeWhenNamed(const std::string& name,
                       std::function<std::vector<std::string>()> make) override {
        m_session->unmade.push_back({name, std::move(make)});
    }
    bool Unmade(const std::string& name) const override {
        return std::any_of(m_session->unmade.begin(), m_session->unmade.end(),
                           [&](const PgSession::Making& u) { return u.name == name && !u.queued; });
    }
    bool ForgetMaking(const std::string& name) override {
        // One on its way is made with the next exchange: the caller drops it as one made.
        return std::erase_if(m_session->unmade, [&](const PgSession::Making& u) {
                   return u.name == name && !u.queued;
               }) != 0;
    }

    std::int64_t Execute(std::string_view sql) override {
        const std::string text = Checked(sql);
        PgSession& s = *m_session;
        s.MakeNamed(text);
        ResultPtr r = s.Guarded([&] {
            return ResultPtr(
                PQexecParams(s.get(), text.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0));
        });
        if (ChangesSettings(text) || (s.refreshAtEnd && EndsTransaction(text)))
            ReadSettings();
        return ChangedBy(r.get());
    }

    void Begin() override {
        m_session->MakeNamed({}, true); // outside the transaction, which could undo it
        m_session->Run("BEGIN");
    }
    void Commit() override {
        m_session->Run("COMMIT");
        m_session->DeallocatePending();
        if (m_session->refreshAtEnd)
            ReadSettings();
    }
    void Rollback() override {
        m_session->Run("ROLLBACK");
        m_session->DeallocatePending();
        if (m_session->refreshAtEnd)
            ReadSettings();
    }

    // A new session with this one's connect string, in the settings this one has now, whose
    // transactions only read. Reads nothing of this connection's but what it keeps under a
    // lock: it may run on another thread while this one works.
    std::unique_ptr<EngineConnection> OpenReader() const override;

    // A cancel request is sent only while an exchange runs; between exchanges the flag fails
    // the next one.
    void Interrupt() override {
        PgSession& s = *m_session;
        s.stop.store(true);
        if (!s.busy.load() || !s.cancel)
            return;
        char error[256];
        PQcancel(s.cancel.get(), error, sizeof error); // a failed request leaves the flag set
    }
    bool InTransaction() const override { return m_session->InTransaction(); }
    void Savepoint(std::string_view name) override {
        RequireTransaction();
        m_session->Run("SAVEPOINT " + m_dialect.QuoteName(name));
    }
    void ReleaseSavepoint(std::string_view name) override {
        RequireTransaction();
        m_session->Run("RELEASE SAVEPOINT " + m_dialect.QuoteName(name));
    }
    void RollbackToSavepoint(std::string_view name) override {
        RequireTransaction();
        m_session->Run("ROLLBACK TO SAVEPOINT " + m_dialect.QuoteName(name));
        if (m_session->refreshAtEnd)
            ReadSettings();
    }

    // The server's current snapshot (the transactions still running and the next to begin)
    // moves whenever a transaction that wrote anything ends, here or on any connection; the
    // count of rows changed through this connection adds what it did inside its own open
    // transaction. A transaction rolled back moves the token too: a change that was not.
    ChangeToken CurrentChangeToken() override {
        ResultPtr r = m_session->Run("SELECT " + ChangeTokenExpression());
        return ChangeTokenFrom(PQgetvalue(r.get(), 0, 0));
    }
    // A subquery, which the server runs once for the statement (its snapshot is the
    // statement's), not once for each of a key run's rows.
    std::string ChangeTokenExpression() const override {
        return "(SELECT pg_current_snapshot()::text)";
    }
    ChangeToken ChangeTokenFrom(std::string_view snapshot) const override {
        return {std::string(snapshot) + "/" + std::to_string(m_session->ownChanges)};
    }

    SchemaDescription DescribeTable(std::string_view table,
                                    std::string_view database = {}) override;
    void WillDescribe(std::string_view table, std::string_view database = {}) override;
    void WillFindNames(const std::vector<std::string>& words) override;
    std::vector<std::string> StoredNames(const std::vector<std::string>& words,
                                         std::vector<std::string>* textColumns,
                                         std::vector<std::string>* yesNoColumns) override;

private:
    // A table's name as the server reads it, quoted: in the schema given, else on the search
    // path; EngineError (TableNotFound) for a name no table can have.
    std::string RelationName(std::string_view table, std::string_view database) const;
    // The statement under a name of its own, prepared now or, deferred, at its first step
    // (which may run it twice: see PrepareRead).
    std::unique_ptr<EngineStatement> Named(std::string_view sql, bool deferred) {
        std::vector<int> numbers;
        std::string text = Checked(sql, &numbers);
        PgSession& s = *m_session;
        const std::string name = "kel_" + std::to_string(++s.nextStatement);
        ResultPtr description = deferred ? nullptr : s.PrepareNamed(name, text);
        return std::make_unique<PgStatement>(m_session, name, std::move(description),
                                             std::move(text), std::move(numbers));
    }

    static std::string Checked(std::string_view sql, std::vector<int>* numbers = nullptr) {
        if (sql.find('\0') != std::string_view::npos)
            throw EngineError(EngineFailure::Syntax, {},
                              "A statement cannot contain a NUL character.");
        return ToPgParameters(sql, numbers);
    }
    void RequireTransaction() const {
        if (!InTransaction())
            throw EngineError(EngineFailure::Other, {}, "A savepoint needs a transaction.");
    }
    // The search path as the session has it now, for the readers opened later; read again
    // when the transaction that changed it ends, which may undo the change.
    void ReadSettings() {
        PgSession& s = *m_session;
        ResultPtr r = s.Run("SELECT current_setting('search_path')", 0, nullptr, false);
        std::lock_guard<std::mutex> lock(s.settingsLock);
        s.searchPath = PQgetvalue(r.get(), 0, 0);
        s.refreshAtEnd = s.InTransaction();
    }

    std::shared_ptr<PgSession> m_session;
    bool m_readOnly;
    PgDialect m_dialect;
};

// The words as a text array's literal, for the names question.
std::string NamesList(const std::vector<std::string>& words) {
    std::string list = "{";
    for (const std::string& w : words) {
        if (w.find('\0') != std::string::npos)
            continue;
        list += list.size() > 1 ? ",\"" : "\"";
        for (char c : w) {
            if (c == '"' || c == '\\')
                list += '\\';
            list += c;
        }
        list += '"';
    }
    return list + '}';
}

void PgConnection::WillFindNames(const std::vector<std::string>& words) {
    m_session->findAhead = words.empty() ? std::string() : NamesList(words);
}

std::vector<std::string> PgConnection::StoredNames(const std::vector<std::string>& words,
                                                   std::vector<std::string>* textColumns,
                                                   std::vector<std::string>* yesNoColumns) {
    std::vector<std::string> names;
    if (words.empty())
        return names;
    PgSession& s = *m_session;
    s.findAhead.clear();
    const std::string list = NamesList(words);
    const char* args[] = {list.c_str()};
    ResultPtr r;
    if (s.foundAhead && s.foundAhead->first == list)
        r = std::move(s.foundAhead->second); // asked for with the last preparation
    else
        r = std::move(s.Ask({kNames}, args).front());
    s.foundAhead.reset();
    for (int i = 0; i < PQntuples(r.get()); ++i) {
        names.emplace_back(PQgetvalue(r.get(), i, 0));
        if (textColumns && PQgetvalue(r.get(), i, 1)[0] == 't')
            textColumns->push_back(names.back());
        if (yesNoColumns && PQgetvalue(r.get(), i, 2)[0] == 't')
            yesNoColumns->push_back(names.back());
    }
    return names;
}

std::string PgConnection::RelationName(std::string_view table, std::string_view database) const {
    const std::string name(table), in(database);
    if (name.empty() || name.find('\0') != std::string::npos || in.find('\0') != std::string::npos)
        throw EngineError(EngineFailure::TableNotFound, {}, "no such table", name);
    return (in.empty() ? std::string() : m_dialect.Dialect::QuoteName(in) + ".") +
           m_dialect.Dialect::QuoteName(name);
}

void PgConnection::WillDescribe(std::string_view table, std::string_view database) {
    try {
        m_session->describeAhead = RelationName(table, database);
    } catch (const EngineError&) {
        m_session->describeAhead.clear(); // DescribeTable says what is wrong with the name
    }
}

// The catalog's name of a built-in type, for the types DaoTypeOf and the comparisons tell
// apart; empty for others, which read as text.
std::string_view BuiltInTypeName(Oid type) {
    return type == kMoney  ? std::string_view("money")
           : type == kText ? std::string_view("text")
                           : TypeNameOf(type);
}

// Types numbered from here on are not the catalog's built-in ones and may be domains.
constexpr Oid kFirstDefinedType = 10000;

// What the types catalog says of those types: those the connection has not described yet in
// one exchange, none for none.
const std::map<Oid, ColumnType>& ColumnTypes(PgSession& s, std::vector<Oid> types) {
    std::map<Oid, ColumnType>& found = s.questions.types;
    std::erase_if(types, [&](Oid type) { return found.count(type) != 0; });
    if (types.empty())
        return found;
    std::sort(types.begin(), types.end());
    types.erase(std::unique(types.begin(), types.end()), types.end());
    std::string array = "{";
    for (const Oid type : types)
        array += (array.size() > 1 ? "," : "") + std::to_string(type);
    array += "}";
    const char* args[] = {array.c_str()};
    // A domain over a domain reads as the type at the end of the chain, with the nearest
    // length or precision any of them gives.
    const ResultPtr r = s.Run(
        "WITH RECURSIVE c(col, oid, typtype, base, typmod) AS ("
        "SELECT t.oid, t.oid, t.typtype, t.typbasetype, t.typtypmod FROM pg_catalog.pg_type t "
        "WHERE t.oid = ANY ($1::pg_catalog.oid[]) UNION ALL "
        "SELECT c.col, t.oid, t.typtype, t.typbasetype, "
        "CASE WHEN c.typmod >= 0 THEN c.typmod ELSE t.typtypmod END "
        "FROM c JOIN pg_catalog.pg_type t ON t.oid = c.base WHERE c.typtype = 'd') "
        "SELECT col, oid <> col, oid, typmod FROM c WHERE typtype <> 'd'",
        1, args, true, true);
    for (int i = 0; i < PQntuples(r.get()); ++i) {
        ColumnType& t =
            found[static_cast<Oid>(std::strtoul(PQgetvalue(r.get(), i, 0), nullptr, 10))];
        t.domain = std::string_view(PQgetvalue(r.get(), i, 1)) == "t";
        t.base = static_cast<Oid>(std::strtoul(PQgetvalue(r.get(), i, 2), nullptr, 10));
        t.typmod = std::atoi(PQgetvalue(r.get(), i, 3));
    }
    return found;
}

// A relation's own name out of the server's writing of its number (regclass): quoted where
// the name needs it, after its schema and a dot where the search path does not reach it.
std::string RelationNameOf(std::string_view written) {
    const std::vector<SqlToken> t = SignificantTokens(written);
    return t.empty() ? std::string(written) : Unquote(t.back());
}

// The numbers of an int2vector as the server writes it: "1 3 0".
std::vector<int> Int2Vector(std::string_view text) {
    std::vector<int> numbers;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        if (*p == ' ') {
            ++p;
            continue;
        }
        int n = 0;
        const auto [next, ec] = std::from_chars(p, end, n);
        if (ec != std::errc())
            break;
        numbers.push_back(n);
        p = next;
    }
    return numbers;
}

SchemaDescription PgConnection::DescribeTable(std::string_view table, std::string_view database) {
    PgSession& s = *m_session;
    const std::string name(table), relation = RelationName(table, database);
    s.describeAhead.clear();
    // Asked for with the statement just prepared, or now, in one exchange.
    std::vector<ResultPtr> answers;
    if (s.describedAhead && s.describedAhead->first == relation)
        answers = std::move(s.describedAhead->second);
    s.describedAhead.reset();
    if (answers.empty()) {
        const char* args[] = {relation.c_str()};
        answers = s.Ask(kDescription, args);
    }
    const ResultPtr& rel = answers[0];
    const ResultPtr& cols = answers[1];
    const ResultPtr& idx = answers[2];
    if (PQntuples(rel.get()) == 0)
        throw EngineError(EngineFailure::TableNotFound, "42P01",
                          "relation \"" + name + "\" does not exist", name);
    SchemaDescription schema;
    const char kind = PQgetvalue(rel.get(), 0, 1)[0];
    schema.name = PQgetvalue(rel.get(), 0, 2);
    schema.database = PQgetvalue(rel.get(), 0, 4);
    PgSession::RelationNames names;
    names.described = ++s.descriptions;
    names.schema = schema.database;
    names.relation = schema.name;
    schema.view = kind == 'v' || kind == 'm';
    schema.updatable = (kind == 'r' || kind == 'p') && !m_readOnly &&
                       std::string_view(PQgetvalue(rel.get(), 0, 3)) == "t";

    auto typeOf = [&](int row) {
        return static_cast<Oid>(std::strtoul(PQgetvalue(cols.get(), row, 5), nullptr, 10));
    };
    std::vector<Oid> defined;
    for (int i = 0; i < PQntuples(cols.get()); ++i)
        if (typeOf(i) >= kFirstDefinedType)
            defined.push_back(typeOf(i));
    const std::map<Oid, ColumnType>& types = ColumnTypes(s, std::move(defined));
    for (int i = 0; i < PQntuples(cols.get()); ++i) {
        FieldDescription f;
        f.name = PQgetvalue(cols.get(), i, 0);
        f.declaredType = PQgetvalue(cols.get(), i, 1);
        f.required = std::string_view(PQgetvalue(cols.get(), i, 2)) == "t";
        f.defaultValue = PQgetvalue(cols.get(), i, 3);
        const std::string_view identity = PQgetvalue(cols.get(), i, 4);
        const Oid type = typeOf(i);
        const auto known = types.find(type);
        // A domain reads as its base type, with the domain's own length or precision, not
        // the column's.
        const bool domain = known != types.end() && known->second.domain;
        const std::string_view own = BuiltInTypeName(type);
        int typmod = domain ? known->second.typmod : 0;
        if (!domain) {
            const std::string_view mod = PQgetvalue(cols.get(), i, 6);
            std::from_chars(mod.data(), mod.data() + mod.size(), typmod);
        }
        f.daoType = DaoTypeOf(domain ? BuiltInTypeName(known->second.base) : own, typmod, f.size);
        f.characterType = own == "text" || own == "varchar" || own == "bpchar";
        f.booleanType = own == "bool";
        f.autoIncrement = !identity.empty() || f.defaultValue.rfind("nextval(", 0) == 0;
        f.generated = PQgetvalue(cols.get(), i, 7)[0] != '\0';
        f.writable = identity != "a" && !f.generated;
        names.columns.emplace(std::atoi(PQgetvalue(cols.get(), i, 8)), f.name);
        schema.fields.push_back(std::move(f));
    }

    for (int i = 0; i < PQntuples(idx.get()); ++i) {
        IndexDescription index;
        index.name = RelationNameOf(PQgetvalue(idx.get(), i, 0));
        index.unique = std::string_view(PQgetvalue(idx.get(), i, 1)) == "t";
        index.primary = std::string_view(PQgetvalue(idx.get(), i, 2)) == "t";
        index.partial = std::string_view(PQgetvalue(idx.get(), i, 3)) == "t";
        // The key's parts by column number (0: an expression), and their options; the
        // columns after the key's are only included.
        const std::vector<int> parts = Int2Vector(PQgetvalue(idx.get(), i, 4));
        const std::vector<int> options = Int2Vector(PQgetvalue(idx.get(), i, 5));
        const size_t keyParts =
            std::min(parts.size(), static_cast<size_t>(std::atoi(PQgetvalue(idx.get(), i, 6))));
        for (size_t k = 0; k < keyParts; ++k) {
            const auto column = names.columns.find(parts[k]);
            const bool expression = parts[k] == 0 || column == names.columns.end();
            index.expression = index.expression || expression;
            index.fields.push_back(expression ? std::string() : column->second);
            index.descending.push_back(k < options.size() && (options[k] & 1) != 0);
        }
        schema.indexes.push_back(std::move(index));
    }
    std::sort(schema.indexes.begin(), schema.indexes.end(),
              [](const IndexDescription& a, const IndexDescription& b) { return a.name < b.name; });
    s.relations[static_cast<Oid>(std::strtoul(PQgetvalue(rel.get(), 0, 0), nullptr, 10))] =
        std::move(names);
    for (const IndexDescription& index : schema.indexes)
        if (index.primary)
            schema.primaryKey = index.fields;
    for (FieldDescription& f : schema.fields)
        if (std::find(schema.primaryKey.begin(), schema.primaryKey.end(), f.name) !=
            schema.primaryKey.end())
            f.required = true;
    return schema;
}

void IgnoreNotice(void*, const char*) {}

} // namespace

std::optional<std::string> CalledAt(std::string_view sql, std::string_view position) {
    size_t chars = 0;
    const auto [end, ec] =
        std::from_chars(position.data(), position.data() + position.size(), chars);
    if (ec != std::errc() || end != position.data() + position.size() || chars == 0)
        return std::nullopt;
    // The byte where that character begins: UTF-8 continuation bytes are no characters.
    size_t at = 0;
    for (size_t seen = 0; at < sql.size(); ++at) {
        if ((static_cast<unsigned char>(sql[at]) & 0xC0) != 0x80 && ++seen == chars)
            break;
    }
    if (at >= sql.size())
        return std::nullopt;
    auto wordByte = [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return std::isalnum(u) || c == '_' || c == '$' || u >= 0x80;
    };
    // A name, bare or quoted, maybe qualified: the last part is the function's.
    std::string name;
    while (at < sql.size()) {
        name.clear();
        if (sql[at] == '"') {
            for (++at; at < sql.size(); ++at) {
                if (sql[at] == '"') {
                    if (at + 1 < sql.size() && sql[at + 1] == '"') {
                        name += '"';
                        ++at;
                        continue;
                    }
                    ++at;
                    break;
                }
                name += sql[at];
            }
        } else {
            while (at < sql.size() && wordByte(sql[at]))
                name += sql[at++];
        }
        if (name.empty() || at >= sql.size() || sql[at] != '.')
            break;
        ++at;
    }
    return name;
}

std::string ToPgParameters(std::string_view sql) {
    return ToPgParameters(sql, nullptr);
}

std::string ToPgParameters(std::string_view sql, std::vector<int>* compact) {
    const LexResult lex = LexSql(sql, SqlDialect::Sqlite);
    if (!lex.ok)
        throw EngineError(EngineFailure::Syntax, {},
                          "The statement leaves a " + lex.error + " open.");
    // Each parameter's number as SQLite counts them.
    std::vector<int> numbers;
    int highest = 0;
    for (const SqlToken& t : lex.tokens) {
        if (!t.Is(TokenKind::Param) || t.text.empty() || t.text[0] != '?')
            continue;
        int number = highest + 1;
        if (t.text.size() > 1) {
            const auto [end, ec] =
                std::from_chars(t.text.data() + 1, t.text.data() + t.text.size(), number);
            if (ec != std::errc() || end != t.text.data() + t.text.size() || number < 1 ||
                number > 32767)
                throw EngineError(EngineFailure::Syntax, {},
                                  "'" + std::string(t.text) + "' is no parameter number.");
        }
        highest = std::max(highest, number);
        numbers.push_back(number);
    }
    // The server wants a type for every number up to the highest: numbers that are not used
    // are left out, and the caller binds through the map.
    if (compact) {
        compact->assign(static_cast<size_t>(highest), 0);
        for (int n : numbers)
            (*compact)[static_cast<size_t>(n - 1)] = 1;
        int next = 0;
        for (int& slot : *compact)
            slot = slot ? ++next : 0;
    }
    std::string out;
    out.reserve(sql.size());
    size_t k = 0;
    for (const SqlToken& t : lex.tokens) {
        if (!t.Is(TokenKind::Param) || t.text.empty() || t.text[0] != '?') {
            out += t.text;
            continue;
        }
        const int number = compact ? (*compact)[static_cast<size_t>(numbers[k] - 1)] : numbers[k];
        ++k;
        // A blank keeps "$1" from joining a preceding name or number.
        if (!out.empty() && (std::isalnum(static_cast<unsigned char>(out.back())) ||
                             out.back() == '_' || out.back() == '$'))
            out += ' ';
        out += '$';
        out += std::to_string(number);
    }
    return out;
}

namespace {

// What the values read through the seam rely on, as a connection's startup options: set
// there, they cost no exchange and are what a reset (RESET ALL) returns to.
std::string SettingOptions(bool readOnly) {
    return std::string("-c DateStyle=ISO,MDY -c TimeZone=UTC -c standard_conforming_strings=on "
                       "-c bytea_output=hex") +
           (readOnly ? " -c default_transaction_read_only=on" : "");
}

// The same settings in one exchange, for a connection whose startup did not carry them.
std::string SettingQuery(bool readOnly) {
    return std::string("SELECT set_config('DateStyle', 'ISO, MDY', false), "
                       "set_config('TimeZone', 'UTC', false), "
                       "set_config('standard_conforming_strings', 'on', false), "
                       "set_config('bytea_output', 'hex', false)") +
           (readOnly ? ", set_config('default_transaction_read_only', 'on', false)" : "");
}

// The startup options a connection to params would have without ours: those of the name, else
// PGOPTIONS. None when a service may give options, which only libpq reads: giving ours would
// replace them.
std::optional<std::string> GivenOptions(const PgConnectParams& params) {
    std::optional<std::string> options;
    bool service = false;
    for (const auto& [keyword, value] : params.keywords) {
        if (keyword == "options")
            options = value;
        else if (keyword == "service")
            service = true;
        else if (keyword == "dbname" && params.expandDbname) {
            char* error = nullptr;
            PQconninfoOption* parsed = PQconninfoParse(value.c_str(), &error);
            if (parsed == nullptr) {
                PQfreemem(error);
                return std::nullopt; // libpq says what is wrong when it connects
            }
            for (const PQconninfoOption* o = parsed; o->keyword != nullptr; ++o) {
                if (o->val == nullptr)
                    continue;
                if (std::strcmp(o->keyword, "options") == 0)
                    options = o->val;
                else if (std::strcmp(o->keyword, "service") == 0 && *o->val)
                    service = true;
            }
            PQconninfoFree(parsed);
        }
    }
    const char* envService = std::getenv("PGSERVICE");
    if (service || (envService != nullptr && *envService))
        return std::nullopt;
    if (!options)
        if (const char* env = std::getenv("PGOPTIONS"))
            options = env;
    return options.value_or(std::string());
}

// Whether a kept connection looks usable without an exchange: a connection the server ended
// has something to read (its farewell, or the end of the stream), as has one that is in any
// other way not as it was left, and is not used again.
bool QuietSinceKept(PGconn* conn) {
    if (PQstatus(conn) != CONNECTION_OK)
        return false;
    pollfd socket{PQsocket(conn), POLLIN, 0};
    return socket.fd >= 0 && ::poll(&socket, 1, 0) == 0;
}

} // namespace

std::unique_ptr<EngineConnection> OpenPgEngine(const std::string& name, bool readOnly) {
    const PgConnectParams params = ParsePgConnectString(name);
    // Defaults first: values the name gives replace them; the encoding comes last so that
    // text is always UTF-8, and so do the settings' options, which keep those given.
    std::vector<std::pair<std::string, std::string>> keywords = {
        {"connect_timeout", "10"}, {"fallback_application_name", "KelRSList"}};
    keywords.insert(keywords.end(), params.keywords.begin(), params.keywords.end());
    keywords.emplace_back("client_encoding", "UTF8");
    const std::optional<std::string> given = GivenOptions(params);
    if (given)
        keywords.emplace_back("options", (given->empty() ? std::string() : *given + " ") +
                                             SettingOptions(readOnly));
    std::vector<const char*> keys, values;
    for (const auto& [k, v] : keywords) {
        keys.push_back(k.c_str());
        values.push_back(v.c_str());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    auto session = std::make_shared<PgSession>();
    // A connection kept from an earlier close. One whose startup carried the settings has them
    // still; another has them set again, and that exchange tells whether it is alive.
    if ((session->conn = IdleConnections::Instance().Take(name, readOnly, &session->settled,
                                                          &session->questions))) {
        if (session->settled) {
            if (!QuietSinceKept(session->conn.get()))
                session = std::make_shared<PgSession>();
        } else {
            try {
                session->Run(SettingQuery(readOnly));
            } catch (const EngineError&) {
                session = std::make_shared<PgSession>();
            }
        }
    }
    if (!session->conn) {
        session->conn.reset(
            PQconnectdbParams(keys.data(), values.data(), params.expandDbname ? 1 : 0));
        if (!session->conn)
            throw EngineError(EngineFailure::CannotConnect, {}, "out of memory",
                              params.displayName);
        if (PQstatus(session->conn.get()) != CONNECTION_OK)
            throw EngineError(EngineFailure::CannotConnect, {},
                              TrimmedMessage(PQerrorMessage(session->conn.get())),
                              params.displayName);
        PQsetNoticeProcessor(session->conn.get(), IgnoreNotice, nullptr);
        session->settled = given.has_value();
        if (!session->settled)
            session->Run(SettingQuery(readOnly));
    }
    session->cancel.reset(PQgetCancel(session->conn.get()));
    session->name = name;
    return std::make_unique<PgConnection>(std::move(session), readOnly);
}

std::unique_ptr<EngineConnection> PgConnection::OpenReader() const {
    std::string searchPath;
    std::optional<int> lockTimeout;
    {
        std::lock_guard<std::mutex> lock(m_session->settingsLock);
        searchPath = m_session->searchPath;
        lockTimeout = m_session->lockTimeoutMs;
    }
    std::unique_ptr<EngineConnection> reader = OpenPgEngine(m_session->name, true);
    PgSession& s = *static_cast<PgConnection&>(*reader).m_session;
    if (!searchPath.empty()) {
        const char* args[] = {searchPath.c_str()};
        s.Run("SELECT set_config('search_path', $1, false)", 1, args);
    }
    if (lockTimeout)
        reader->SetBusyTimeout(*lockTimeout);
    return reader;
}

void SetIdleConnectionTimeout(int seconds) {
    IdleConnections::Instance().SetTimeout(std::chrono::seconds(std::max(seconds, 0)));
}

} // namespace kel::dao
