#include "platform/dao/KeyWorker.h"

#include "platform/dao/engines/EngineError.h"

#include <chrono>

namespace kel::dao {

KeyWorker::KeyWorker(const EngineConnection& connection, std::string sql, bool withChecks,
                     std::int64_t maxKey)
    : m_connection(connection), m_sql(std::move(sql)), m_withChecks(withChecks), m_maxKey(maxKey) {
    m_thread = std::thread([this] { Run(); });
}

KeyWorker::~KeyWorker() {
    m_cancelled.store(true);
    {
        std::lock_guard<std::mutex> lock(m_connectionLock);
        if (m_reader)
            m_reader->Interrupt();
    }
    if (m_thread.joinable())
        m_thread.join();
}

bool KeyWorker::WaitUntil(std::int64_t deadline) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point until{
        std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(deadline))};
    std::unique_lock<std::mutex> lock(m_doneLock);
    return m_doneSignal.wait_until(lock, until, [this] { return Done(); });
}

KeyWorker::Result KeyWorker::Take() {
    if (m_thread.joinable())
        m_thread.join();
    return std::move(m_result);
}

void KeyWorker::Run() {
    Result& r = m_result;
    std::unique_ptr<EngineConnection> reader;
    try {
        // The reader compares text and checks identities as the dynaset's connection does.
        reader = m_connection.OpenReader();
        {
            std::lock_guard<std::mutex> lock(m_connectionLock);
            m_reader = reader.get();
        }
        // Stopped while the reader opened: an interrupt before the query runs would be lost.
        if (m_cancelled.load())
            throw EngineError(EngineFailure::Interrupted, {}, "The keying was stopped.");
        std::unique_ptr<EngineStatement> stmt = reader->Prepare(m_sql);
        while (stmt->Step()) {
            const std::int64_t key = stmt->ColumnInteger(0);
            if (key > m_maxKey)
                continue;
            r.keys.push_back(key);
            if (m_withChecks)
                r.checks.push_back(static_cast<std::uint32_t>(stmt->ColumnInteger(1)));
        }
        r.complete = true;
    } catch (const EngineError& e) {
        r.message = e.what();
    } catch (const std::bad_alloc&) {
        r.message = "out of memory";
    }
    if (!r.complete) {
        r.keys.clear();
        r.checks.clear();
    }
    {
        std::lock_guard<std::mutex> lock(m_connectionLock);
        m_reader = nullptr;
    }
    reader.reset();
    {
        std::lock_guard<std::mutex> lock(m_doneLock);
        m_done.store(true, std::memory_order_release);
    }
    m_doneSignal.notify_all();
}

} // namespace kel::dao
