// Keys a whole sorted order on a thread of its own, over its own read-only connection to the
// same file, so that the engine's sort of every record runs while the window stays live. The
// owner polls Done() and takes the keys; destroying the worker interrupts the sort and waits
// for the thread. Private to the data-access classes.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct sqlite3;

namespace kel::dao {

class KeyWorker {
public:
    struct Result {
        int rc = 0; // SQLITE_DONE when every key was read
        std::string message;
        std::vector<std::int64_t> keys;
        std::vector<std::uint32_t> checks; // one per key when the query reads a check
    };

    // sql selects the key, and the check when withChecks, in the order; keys above maxKey
    // were added after the dynaset opened and are left out.
    KeyWorker(std::string file, std::string sql, bool withChecks, std::int64_t maxKey);
    ~KeyWorker();
    KeyWorker(const KeyWorker&) = delete;
    KeyWorker& operator=(const KeyWorker&) = delete;

    bool Done() const { return m_done.load(std::memory_order_acquire); }
    // Waits for the thread and hands over what it found (once).
    Result Take();

private:
    void Run();

    std::string m_file, m_sql;
    bool m_withChecks;
    std::int64_t m_maxKey;
    Result m_result;
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_cancelled{false};
    std::mutex m_connectionLock; // guards m_db against an interrupt while it closes
    sqlite3* m_db = nullptr;
    std::thread m_thread;
};

} // namespace kel::dao
