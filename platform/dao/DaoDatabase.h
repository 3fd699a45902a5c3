// CDaoDatabase: one SQLite database file opened in the Jet manner, or a PostgreSQL database
// named by a libpq URI (postgresql://...) or by the connect argument
// "ODBC;DRIVER={PostgreSQL};SERVER=...;PORT=...;DATABASE=...;UID=...;PWD=..." (the name may
// then be empty). A server that cannot be reached is 3151 with the server's own words (never
// the password); a connect string that cannot be read, 3001.
//
// Open never creates a file: a missing file is error 3024, a file that is not a database 3343.
// A file without write permission opens read-only (edits then fail with 3027). Statements wait
// for a lock held by another connection up to the query timeout (3 seconds unless set), then
// fail with 3260. Exclusive opening keeps other connections out (3045 for them).
#pragma once

#include "platform/core/Object.h"
#include "platform/core/String.h"
#include "platform/dao/DaoConstants.h"

#include <memory>

namespace kel::dao {
struct DatabaseState;
}
class CDaoRecordset;

class CDaoDatabase : public CObject {
    DECLARE_DYNAMIC(CDaoDatabase)
public:
    CDaoDatabase();
    ~CDaoDatabase() override;
    CDaoDatabase(const CDaoDatabase&) = delete;
    CDaoDatabase& operator=(const CDaoDatabase&) = delete;

    virtual void Open(LPCTSTR lpszName, BOOL bExclusive = FALSE, BOOL bReadOnly = FALSE,
                      LPCTSTR lpszConnect = _T(""));
    // Closes the recordsets still open on the database, then the database.
    virtual void Close();
    BOOL IsOpen() const;

    CString GetName();
    CString GetConnect();
    BOOL CanUpdate();
    BOOL CanTransact();

    // Runs one action statement in the Jet dialect; a SELECT is error 3065. Every failure is
    // thrown, with or without dbFailOnError, and leaves nothing half-done.
    void Execute(LPCTSTR lpszSQL, int nOptions = dbFailOnError);
    long GetRecordsAffected();

    // Seconds a statement waits for a lock held by another connection. May be set before
    // Open, which waits as long for a file another connection holds.
    short GetQueryTimeout();
    void SetQueryTimeout(short nSeconds);

    // Exchanges with a database server since Open (not a framework member): what a move
    // costs on a server; 0 for a file.
    ULONGLONG GetRoundTrips();

private:
    friend class CDaoRecordset;
    kel::dao::DatabaseState& State() const;

    std::unique_ptr<kel::dao::DatabaseState> m_pState;
};
