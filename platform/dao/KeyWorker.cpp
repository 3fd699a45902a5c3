#include "platform/dao/KeyWorker.h"

#include "platform/dao/RecordsetState.h"
#include "platform/dao/SqliteConnection.h"
#include "platform/dao/SqliteStatement.h"
#include "platform/dao/TextCompare.h"

#include <sqlite3.h>

namespace kel::dao {

KeyWorker::KeyWorker(std::string file, std::string sql, bool withChecks, std::int64_t maxKey)
    : m_file(std::move(file)), m_sql(std::move(sql)), m_withChecks(withChecks), m_maxKey(maxKey) {
    m_thread = std::thread([this] { Run(); });
}

KeyWorker::~KeyWorker() {
    m_cancelled.store(true);
    {
        std::lock_guard<std::mutex> lock(m_connectionLock);
        if (m_db)
            sqlite3_interrupt(m_db);
    }
    if (m_thread.joinable())
        m_thread.join();
}

KeyWorker::Result KeyWorker::Take() {
    if (m_thread.joinable())
        m_thread.join();
    return std::move(m_result);
}

void KeyWorker::Run() {
    Result& r = m_result;
    sqlite3* raw = nullptr;
    r.rc =
        sqlite3_open_v2(m_file.c_str(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteConnection connection(raw);
    if (r.rc == SQLITE_OK) {
        // The key query compares text and checks identities as the dynaset's connection does.
        sqlite3_busy_timeout(raw, 3000);
        r.rc = RegisterTextFunctions(raw);
        RecordsetState::RegisterIdentityFunction(raw);
    }
    if (r.rc == SQLITE_OK) {
        std::lock_guard<std::mutex> lock(m_connectionLock);
        m_db = raw;
        if (m_cancelled.load())
            sqlite3_interrupt(raw);
    }
    if (r.rc == SQLITE_OK) {
        SqliteStatement stmt;
        r.rc = stmt.Prepare(raw, m_sql);
        if (r.rc == SQLITE_OK) {
            for (;;) {
                r.rc = stmt.Step();
                if (r.rc != SQLITE_ROW)
                    break;
                const std::int64_t key = stmt.ColumnInt64(0);
                if (key > m_maxKey)
                    continue;
                r.keys.push_back(key);
                if (m_withChecks)
                    r.checks.push_back(static_cast<std::uint32_t>(stmt.ColumnInt64(1)));
            }
        }
    }
    if (r.rc != SQLITE_DONE) {
        r.message = raw ? sqlite3_errmsg(raw) : "out of memory";
        r.keys.clear();
        r.checks.clear();
    }
    {
        std::lock_guard<std::mutex> lock(m_connectionLock);
        m_db = nullptr;
    }
    connection.Reset();
    m_done.store(true, std::memory_order_release);
}

} // namespace kel::dao
