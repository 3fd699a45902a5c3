// What a CDaoDatabase holds behind its public face: the connection and the write lock that
// its recordsets share. Private to the data-access classes.
#pragma once

#include "platform/dao/DaoConstants.h"
#include "platform/dao/DaoErrors.h"
#include "platform/dao/JetSql.h"
#include "platform/dao/engines/Engine.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CDaoRecordset;

namespace kel::dao {

struct RecordsetState;

struct DatabaseState {
    std::unique_ptr<EngineConnection> connection;
    std::string name;
    std::string connect;
    bool readOnly = false;
    bool exclusive = false;
    bool server = false; // a database server's rather than a file's: no file lock to hold
    int busyTimeoutSeconds = 3;
    long recordsAffected = 0;
    std::vector<CDaoRecordset*> recordsets; // open on this database, closed with it
    std::uint64_t tempTables = 0;           // names for materialised results
    std::vector<RecordsetState*> keying;    // open recordsets, whose keying workers read

    // A worker's long read would keep a write of this connection from committing (the file's
    // lock waits for every reader): workers stop before a write, and start again afterwards.
    void StopWorkers();

    EngineConnection& db() const { return *connection; }

    // The server's spellings of the bare names of some Jet text, and those of them that name
    // text columns (compared without regard to case) and Yes/No columns (compared as -1, 0).
    struct ServerNames {
        std::vector<std::string> stored, text, yesNo;
        // A field of a recordset, by its DAO type: text and Yes/No fields compare as Jet's.
        void AddField(const std::string& name, short daoType) {
            if (daoType == dbText || daoType == dbMemo)
                text.push_back(name);
            else if (daoType == dbBoolean)
                yesNo.push_back(name);
        }
    };
    // Jet text in this engine's words: a file's SQLite as it stands, a server's through its
    // dialect with bare names spelled as the server stores them (one exchange asks for them
    // unless names holds them already), and the recordset's own fields compared as Jet's.
    JetTranslation Translate(std::string_view jet, JetTextKind kind,
                             const std::vector<std::string>& ownCollation = {},
                             const ServerNames& fields = {}, const ServerNames* names = nullptr);
    // The server's names for all of texts, asked for at once; nothing on a file. Columns are
    // looked for in the tables and views the texts name, and in tables.
    ServerNames StoredNames(std::initializer_list<std::string_view> texts,
                            const std::vector<std::string>& tables = {});
    // The words StoredNames asks the server about for the same arguments; none on a file.
    std::vector<std::string> NameWords(std::initializer_list<std::string_view> texts,
                                       const std::vector<std::string>& tables = {}) const;

    // Runs a statement without results; throws the engine's error.
    void Exec(std::string_view sql, ErrorSource source);

    // The write lock of an edit: the first holder begins an immediate transaction, the last
    // one commits it. 3260 when another connection keeps the lock past the busy timeout.
    void BeginWrite(ErrorSource source); // stops the keying workers first
    // Commits what was written (others still holding keep a lock of their own), or, with
    // commit false, only lets go of the hold. A commit that fails is rolled back and thrown.
    void EndWrite(bool commit, ErrorSource source);
    int WriteHolders() const { return m_writeHolders; }

    // 3024 when the file at the database's name is no longer the one the connection reads
    // (deleted or renamed under it): the engine would go on reading the old one unnoticed.
    void CheckFileInPlace(ErrorSource source);

    // Differs between two calls when the database may have changed in between, through this
    // connection or another.
    ChangeToken CurrentChangeToken(ErrorSource source);

    void CloseConnection();

private:
    int m_writeHolders = 0;
    bool m_ownTransaction = false;
};

} // namespace kel::dao
