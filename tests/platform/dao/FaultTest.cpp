// Faults from outside the recordset: another connection's write lock over an edit, and the
// database file deleted or cut short under an open recordset.
#include "DaoTestSupport.h"

#include <sqlite3.h>

#include <filesystem>
#include <unistd.h>

using namespace daotest;

namespace {

class Fault : public ::testing::Test {
protected:
    void SetUp() override {
        path = SampleCopy(3000);
        db.Open(path.c_str());
        db.SetQueryTimeout(0);
        rs.Open(dbOpenDynaset, "SELECT * FROM Orders ORDER BY OrderID");
        id = Long(rs, 0);
        priority = PriorityElsewhere();
        ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    }
    void TearDown() override { sqlite3_close(other); }
    std::string PriorityElsewhere() {
        sqlite3* reader = nullptr;
        sqlite3_open(path.c_str(), &reader);
        sqlite3_stmt* stmt = nullptr;
        std::string sql = "SELECT Priority FROM Orders WHERE OrderID = " + std::to_string(id);
        sqlite3_prepare_v2(reader, sql.c_str(), -1, &stmt, nullptr);
        std::string out = sqlite3_step(stmt) == SQLITE_ROW
                              ? reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))
                              : "<none>";
        sqlite3_finalize(stmt);
        sqlite3_close(reader);
        return out;
    }
    int Other(const char* sql) { return sqlite3_exec(other, sql, nullptr, nullptr, nullptr); }
    void ExpectLocked(const DaoError& e) {
        EXPECT_EQ(e.code, 3260);
        EXPECT_EQ(e.description, "Couldn't update; currently locked by another user.");
    }

    std::string path;
    CDaoDatabase db;
    CDaoRecordset rs{&db};
    sqlite3* other = nullptr;
    long id = 0;
    std::string priority;
};

} // namespace

TEST_F(Fault, EditUnderAnotherConnectionsWriteLock) {
    ASSERT_EQ(Other("BEGIN IMMEDIATE"), SQLITE_OK);
    ExpectLocked(ErrorOf([&] { rs.Edit(); }));
    EXPECT_EQ(rs.GetEditMode(), dbEditNone);
    EXPECT_EQ(CodeOf([&] { rs.SetFieldValue("Priority", "9"); }), 3020); // no edit to change
    EXPECT_EQ(Long(rs, 0), id);                                          // still readable

    // Optimistically the edit begins, and its update is refused; the edit stays pending for
    // a retry until it is cancelled.
    rs.SetLockingMode(FALSE);
    rs.Edit();
    rs.SetFieldValue("Priority", "9");
    ExpectLocked(ErrorOf([&] { rs.Update(); }));
    EXPECT_EQ(PriorityElsewhere(), priority);
    rs.CancelUpdate();
    EXPECT_EQ(rs.GetEditMode(), dbEditNone);

    ASSERT_EQ(Other("ROLLBACK"), SQLITE_OK);

    // An exclusive lock keeps even readers out: the move fails as locked, and so does the
    // edit, which then is not begun.
    ASSERT_EQ(Other("BEGIN EXCLUSIVE"), SQLITE_OK);
    ASSERT_EQ(Other("UPDATE Orders SET Priority = 7"), SQLITE_OK);
    rs.SetLockingMode(TRUE);
    ExpectLocked(ErrorOf([&] {
        rs.MoveNext();
        rs.GetFieldValue(0);
    }));
    rs.MoveFirst();
    ExpectLocked(ErrorOf([&] { rs.Edit(); }));
    EXPECT_EQ(rs.GetEditMode(), dbEditNone);
    ASSERT_EQ(Other("ROLLBACK"), SQLITE_OK);
    EXPECT_EQ(PriorityElsewhere(), priority);
    rs.Edit();
    rs.SetFieldValue("Priority", "9");
    rs.Update();
    EXPECT_EQ(PriorityElsewhere(), "9");
}

TEST_F(Fault, DeletedFileIsNotFoundOnTheNextMove) {
    rs.Move(100);
    ASSERT_EQ(::unlink(path.c_str()), 0);
    const DaoError e = ErrorOf([&] {
        rs.MoveNext();
        rs.GetFieldValue(0);
    });
    EXPECT_EQ(e.code, 3024);
    EXPECT_EQ(e.description, "Could not find file '" + path + "'.");
    EXPECT_EQ(CodeOf([&] { rs.MoveLast(), rs.GetFieldValue(0); }), 3024);
}

TEST_F(Fault, TruncatedFileFailsTheNextMove) {
    rs.Move(100);
    std::filesystem::resize_file(path, std::filesystem::file_size(path) / 3);
    long code = 0;
    for (int i = 0; i < 3000 && !code; i += 50)
        code = CodeOf([&] {
            rs.Move(50);
            rs.GetFieldValue(1);
        });
    EXPECT_NE(code, 0);
    std::filesystem::resize_file(path, 0);
    EXPECT_NE(CodeOf([&] {
                  rs.MoveFirst();
                  rs.GetFieldValue(1);
              }),
              0);
}
