// Keys a whole sorted order on a thread of its own, over its own read-only connection to the
// same database (a file, or a server's database in the same session settings), so that the
// engine's sort of every record runs once while the window stays live. The owner polls Done()
// or waits a while, and takes the keys; destroying the worker interrupts the sort and waits
// for the thread. Private to the data-access classes.
#pragma once

#include "platform/dao/engines/Engine.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kel::dao {

class KeyWorker {
public:
    struct Result {
        bool complete = false; // every key was read
        std::string message;   // why not
        std::vector<std::int64_t> keys;
        std::vector<std::uint32_t> checks; // one per key when the query reads a check
    };

    // sql selects the key, and the check when withChecks, in the order; keys above maxKey
    // were added after the dynaset opened and are left out. The worker reads over a reader
    // of the connection's database, opened on its own thread.
    KeyWorker(const EngineConnection& connection, std::string sql, bool withChecks,
              std::int64_t maxKey);
    ~KeyWorker();
    KeyWorker(const KeyWorker&) = delete;
    KeyWorker& operator=(const KeyWorker&) = delete;

    bool Done() const { return m_done.load(std::memory_order_acquire); }
    // Waits until the worker is done or the steady clock (in nanoseconds) reaches deadline;
    // whether it is done.
    bool WaitUntil(std::int64_t deadline);
    // Waits for the thread and hands over what it found (once).
    Result Take();

private:
    void Run();

    const EngineConnection& m_connection;
    std::string m_sql;
    bool m_withChecks;
    std::int64_t m_maxKey;
    Result m_result;
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_cancelled{false};
    std::mutex m_doneLock;
    std::condition_variable m_doneSignal;
    std::mutex m_connectionLock; // guards m_reader against an interrupt while it closes
    EngineConnection* m_reader = nullptr;
    std::thread m_thread;
};

} // namespace kel::dao
