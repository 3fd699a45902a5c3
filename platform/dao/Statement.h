// One prepared statement of the engine behind the seam, as the data-access classes step it:
// Step reports a failure rather than throwing it, so that the caller throws the DAO error with
// what it knows (the caller's text, the file). Private to the data-access classes.
#pragma once

#include "platform/dao/DaoErrors.h"
#include "platform/dao/engines/Engine.h"
#include "platform/dao/engines/EngineError.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace kel::dao {

enum StepResult { kRow, kDone, kFailed };

class Statement {
public:
    Statement() = default;
    explicit Statement(std::unique_ptr<EngineStatement> stmt) : m_stmt(std::move(stmt)) {}

    explicit operator bool() const { return m_stmt != nullptr; }
    EngineStatement& Engine() const { return *m_stmt; }

    // kRow, kDone, or kFailed with the engine's error in Error().
    StepResult Step() {
        try {
            return m_stmt->Step() ? kRow : kDone;
        } catch (const EngineError& e) {
            m_error.emplace(e);
            return kFailed;
        }
    }
    const EngineError& Error() const { return *m_error; }

    // Ends the run so that no read lock outlives the call that stepped it.
    void Reset() {
        if (m_stmt)
            m_stmt->Reset();
    }

    int ParameterCount() const { return m_stmt->ParameterCount(); }
    // A value the engine cannot take is the DAO error for it.
    void Bind(int i, const EngineValue& v) {
        try {
            m_stmt->Bind(i, v);
        } catch (const EngineError& e) {
            ThrowDaoFor(e, ErrorSource::Recordset);
        }
    }
    void Bind(int i, std::int64_t v) { Bind(i, EngineValue::Integer(v)); }
    void Bind(int i, std::string_view text) { Bind(i, EngineValue::Text(text)); }

    int ColumnCount() const { return m_stmt->ColumnCount(); }
    EngineValue Column(int i) const { return m_stmt->Column(i); }
    std::int64_t ColumnInt64(int i) const { return m_stmt->ColumnInteger(i); }
    std::string ColumnText(int i) const {
        EngineValue v = m_stmt->Column(i);
        return v.kind == EngineValue::Kind::Text || v.kind == EngineValue::Kind::Blob
                   ? std::move(v.bytes)
               : v.kind == EngineValue::Kind::Integer ? std::to_string(v.integer)
                                                      : std::string();
    }

private:
    std::unique_ptr<EngineStatement> m_stmt;
    std::optional<EngineError> m_error;
};

// Resets a statement when the scope ends, however it ends.
class StatementScope {
public:
    explicit StatementScope(Statement& stmt) : m_stmt(stmt) {}
    ~StatementScope() { m_stmt.Reset(); }
    StatementScope(const StatementScope&) = delete;
    StatementScope& operator=(const StatementScope&) = delete;

private:
    Statement& m_stmt;
};

} // namespace kel::dao
