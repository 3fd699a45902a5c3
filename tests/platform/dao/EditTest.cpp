// Editing: conversions of text into each type, failures that write nothing, new records,
// deletions, and the locking modes against a second connection.
#include "DaoTestSupport.h"

#include <chrono>
#include <thread>

using namespace daotest;

namespace {

class Edit : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        path = LoadSample(50);
        Told([&] {
            db.Open(path.c_str());
            rs.Open(dbOpenDynaset, "SELECT * FROM Orders ORDER BY Customer");
        });
    }
    // One stored value, read by a connection of its own through the engine, which gives the
    // same text for the same value on either engine.
    std::string Column(const std::string& column, long id) {
        return QueryText("SELECT " + column + " FROM Orders WHERE OrderID = " + std::to_string(id));
    }
    std::string path;
    CDaoDatabase db;
    CDaoRecordset rs{&db};
};

// SQLite's own locks: a lock held through an edit, a writer waiting on another's.
class EditLocks : public Edit {};

} // namespace

TEST_P(Edit, TextIsConvertedToEachType) {
    rs.Move(3);
    long id = Long(rs, 0);
    rs.Edit();
    EXPECT_EQ(rs.GetEditMode(), dbEditInProgress);
    rs.SetFieldValue("Quantity", "42");
    rs.SetFieldValue("Amount", "$1,234.50");
    rs.SetFieldValue("OrderDate", "3/1/2000");
    rs.SetFieldValue("Shipped", "Yes");
    rs.SetFieldValue("Weight", "2.5");
    rs.SetFieldValue("Priority", "7");
    rs.SetFieldValue("Discount", "0.25");
    rs.SetFieldValue("Customer", CString("Zoë Zimmer"));
    rs.SetFieldValueNull("Notes");
    // During the edit the fields show what was set.
    EXPECT_EQ(rs.GetFieldValue("Quantity").iVal, 42);
    EXPECT_EQ(Text(rs, "Notes"), "<null>");
    rs.Update();
    EXPECT_EQ(rs.GetEditMode(), dbEditNone);
    EXPECT_EQ(Column("Quantity", id), "42");
    EXPECT_EQ(Column("Amount", id), "1234.5");
    EXPECT_EQ(Column("OrderDate", id), "2000-03-01");
    EXPECT_EQ(Column("Shipped", id), "-1");
    EXPECT_EQ(Column("Weight", id), "2.5");
    EXPECT_EQ(Column("Discount", id), "0.25");
    EXPECT_EQ(Column("Customer", id), "Zoë Zimmer");
    EXPECT_EQ(Column("Notes", id), "<null>");
    // The record stays current and shows what is stored now; the dynaset keeps its place.
    EXPECT_EQ(rs.GetAbsolutePosition(), 3);
    EXPECT_EQ(rs.GetFieldValue("Amount").cyVal.int64, 12345000);

    rs.Edit();
    rs.SetFieldValue("OrderDate", "12/24/2001 18:30");
    rs.SetFieldValue("Shipped", "Off");
    rs.SetFieldValue("Amount", COleVariant(12.34567)); // currency keeps four decimals
    rs.SetFieldValue("Quantity", COleVariant(short(9)));
    rs.Update();
    EXPECT_EQ(Column("OrderDate", id), "2001-12-24 18:30:00");
    EXPECT_EQ(Column("Shipped", id), "0");
    EXPECT_EQ(Column("Amount", id), "12.3457");
}

TEST_P(Edit, FailedConversionWritesNothing) {
    long id = Long(rs, 0);
    const std::string quantity = Column("Quantity", id);
    rs.Edit();
    DaoError e = ErrorOf([&] { rs.SetFieldValue("Quantity", "abc"); });
    EXPECT_EQ(e.code, 3421);
    EXPECT_EQ(e.description, "Data type conversion error.");
    EXPECT_EQ(CodeOf([&] { rs.SetFieldValue("OrderDate", "31/31/2000"); }), 3421);
    EXPECT_EQ(CodeOf([&] { rs.SetFieldValue("Shipped", "Maybe"); }), 3421);
    EXPECT_EQ(CodeOf([&] { rs.SetFieldValue("Amount", ""); }), 3421);
    EXPECT_EQ(CodeOf([&] { rs.SetFieldValue("Quantity", "70000"); }), 3349);
    // A Byte field; the server has no such type and keeps it as smallint.
    EXPECT_EQ(CodeOf([&] { rs.SetFieldValue("Priority", IsServer() ? "70000" : "-1"); }), 3349);
    EXPECT_EQ(CodeOf([&] { rs.SetFieldValue("City", std::string(31, 'x').c_str()); }), 3163);
    EXPECT_EQ(CodeOf([&] { rs.SetFieldValue("Picture", COleVariant(3.5)); }), 3421);
    // What failed was not set; what succeeds afterwards is.
    EXPECT_EQ(rs.GetFieldValue("Quantity").vt == VT_NULL ? "<null>" : Text(rs, "Quantity"),
              quantity);
    rs.SetFieldValue("Priority", "1");
    rs.Update();
    EXPECT_EQ(Column("Quantity", id), quantity);
    EXPECT_EQ(Column("Priority", id), "1");
}

TEST_P(Edit, UpdateWithoutEditAndReadOnlyRecordsets) {
    DaoError e = ErrorOf([&] { rs.Update(); });
    EXPECT_EQ(e.code, 3020);
    EXPECT_EQ(e.description, "Update or CancelUpdate without AddNew or Edit.");
    EXPECT_EQ(CodeOf([&] { rs.CancelUpdate(); }), 3020);
    EXPECT_EQ(CodeOf([&] { rs.SetFieldValue("Quantity", "1"); }), 3020);

    // Moving away abandons an edit.
    rs.Edit();
    rs.SetFieldValue("Priority", "9");
    rs.MoveNext();
    EXPECT_EQ(rs.GetEditMode(), dbEditNone);
    EXPECT_EQ(CodeOf([&] { rs.Update(); }), 3020);

    CDaoRecordset snapshot(&db);
    snapshot.Open(dbOpenSnapshot, "SELECT * FROM Orders");
    EXPECT_FALSE(snapshot.CanUpdate());
    EXPECT_EQ(CodeOf([&] { snapshot.Edit(); }), 3027);
    CDaoRecordset readOnly(&db);
    readOnly.Open(dbOpenDynaset, "SELECT * FROM Orders", dbReadOnly);
    EXPECT_EQ(CodeOf([&] { readOnly.AddNew(); }), 3027);
    EXPECT_EQ(CodeOf([&] { readOnly.Delete(); }), 3027);
}

TEST_P(Edit, NewRecordsJoinTheEnd) {
    long first = Long(rs, 0);
    rs.AddNew();
    EXPECT_EQ(rs.GetEditMode(), dbEditAdd);
    EXPECT_EQ(rs.GetFieldValue("Shipped").boolVal, VARIANT_FALSE); // the column's default
    rs.SetFieldValue("Customer", "Aaron Adler");
    rs.SetFieldValue("Quantity", "3");
    rs.Update();
    // The current record is the one from before; the new one is last, whatever its order.
    EXPECT_EQ(Long(rs, 0), first);
    rs.MoveLast();
    EXPECT_EQ(rs.GetRecordCount(), 51);
    EXPECT_EQ(Text(rs, "Customer"), "Aaron Adler");
    long added = Long(rs, 0);
    rs.MoveFirst();
    rs.SetBookmark(rs.GetLastModifiedBookmark());
    EXPECT_EQ(Long(rs, 0), added);
    EXPECT_EQ(Column("Quantity", added), "3");
    EXPECT_TRUE(rs.FindFirst("Customer = \"Aaron Adler\""));
    EXPECT_EQ(rs.GetAbsolutePosition(), 50);

    // A required field left Null, a key used twice: the record is not written.
    rs.AddNew();
    rs.SetFieldValue("Quantity", "4");
    DaoError e = ErrorOf([&] { rs.Update(); });
    EXPECT_EQ(e.code, 3314);
    EXPECT_NE(e.description.find("Customer"), std::string::npos);
    EXPECT_EQ(rs.GetEditMode(), dbEditAdd); // still pending
    rs.SetFieldValue("Customer", "Twice");
    rs.SetFieldValue("OrderID", "5");
    EXPECT_EQ(CodeOf([&] { rs.Update(); }), 3022);
    rs.CancelUpdate();
    EXPECT_EQ(QueryText("SELECT count(*) FROM Orders"), "51");
}

TEST_P(Edit, DeletedRecordsKeepTheirPlace) {
    rs.Move(10);
    long id = Long(rs, 0);
    rs.Delete();
    EXPECT_EQ(Column("OrderID", id), "<none>");
    EXPECT_EQ(CodeOf([&] { rs.GetFieldValue(0); }), 3167);
    EXPECT_EQ(CodeOf([&] { rs.Edit(); }), 3167);
    EXPECT_EQ(CodeOf([&] { rs.Delete(); }), 3167);
    rs.MoveNext();
    rs.MovePrev();
    EXPECT_EQ(rs.GetAbsolutePosition(), 10);
    EXPECT_EQ(CodeOf([&] { rs.GetFieldValue(0); }), 3167);
    rs.MoveLast();
    EXPECT_EQ(rs.GetRecordCount(), 50);

    // Deleted by another program between Edit and an optimistic Update.
    rs.SetLockingMode(FALSE);
    rs.MoveFirst();
    long other = Long(rs, 0);
    rs.Edit();
    ASSERT_TRUE(ExecOther("DELETE FROM Orders WHERE OrderID = " + std::to_string(other)));
    rs.SetFieldValue("Priority", "2");
    EXPECT_EQ(CodeOf([&] { rs.Update(); }), 3167);
}

TEST_P(Edit, ChangingTheKeyKeepsTheRecord) {
    rs.Move(2);
    const COleVariant before = rs.GetBookmark();
    rs.Edit();
    rs.SetFieldValue("OrderID", "100000");
    rs.Update();
    EXPECT_EQ(Long(rs, 0), 100000);
    EXPECT_EQ(rs.GetAbsolutePosition(), 2);
    // A bookmark taken before the change still names the record (a grid keeps its window's).
    EXPECT_TRUE(rs.GetBookmark() == before);
    rs.MoveLast();
    rs.SetBookmark(before);
    EXPECT_EQ(Long(rs, 0), 100000);
    EXPECT_EQ(rs.GetAbsolutePosition(), 2);
}

TEST_P(EditLocks, PessimisticLockingHoldsTheLockUntilUpdate) {
    EXPECT_TRUE(rs.GetLockingMode());
    long id = Long(rs, 0);
    rs.Edit();
    {
        kel::dao::EngineOptions options;
        options.busyTimeoutMs = 100;
        auto other = kel::dao::OpenEngine(path, options);
        EXPECT_EQ(bothengines::FailureOf(
                      [&] { other->Execute("UPDATE Orders SET Weight = 0 WHERE OrderID = 1"); }),
                  kel::dao::EngineFailure::Locked);
    }
    rs.SetFieldValue("Priority", "8");
    rs.Update();
    EXPECT_TRUE(ExecOther("UPDATE Orders SET Weight = 0 WHERE OrderID = 1"));
    EXPECT_EQ(Column("Priority", id), "8");
    rs.Edit();
    rs.CancelUpdate();
    EXPECT_TRUE(ExecOther("UPDATE Orders SET Weight = 1 WHERE OrderID = 1"));
}

TEST_P(Edit, OptimisticUpdateFailsWhenOthersChangedTheRecord) {
    rs.SetLockingMode(FALSE);
    long id = Long(rs, 0);
    rs.Edit();
    EXPECT_TRUE(ExecOther("UPDATE Orders SET Weight = 1 WHERE OrderID = " + std::to_string(id)));
    rs.SetFieldValue("Priority", "8");
    EXPECT_EQ(CodeOf([&] { rs.Update(); }), 3197);
    EXPECT_EQ(Column("Weight", id), "1");
    EXPECT_NE(Column("Priority", id), "8");
    rs.CancelUpdate();
    // Edited again from the record as it now is, the update goes through.
    rs.Move(0);
    rs.Edit();
    rs.SetFieldValue("Priority", "8");
    rs.Update();
    EXPECT_EQ(Column("Priority", id), "8");
}

TEST_P(EditLocks, LockedDatabaseAndWaitingWriters) {
    std::shared_ptr<kel::dao::EngineConnection> other = kel::dao::OpenEngine(path);
    other->BeginWrite();
    db.SetQueryTimeout(0);
    DaoError e = ErrorOf([&] { rs.Edit(); });
    EXPECT_EQ(e.code, 3260);
    EXPECT_EQ(rs.GetEditMode(), dbEditNone);
    rs.SetLockingMode(FALSE);
    rs.Edit();
    rs.SetFieldValue("Priority", "5");
    EXPECT_EQ(CodeOf([&] { rs.Update(); }), 3260);
    EXPECT_EQ(rs.GetEditMode(), dbEditInProgress);

    // A second writer waits for the lock instead of failing.
    db.SetQueryTimeout(5);
    std::thread release([other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other->Commit();
    });
    rs.Update();
    release.join();
    other.reset();
    EXPECT_EQ(Column("Priority", Long(rs, 0)), "5");
}

KEL_BOTH_ENGINES(Edit);
KEL_SQLITE_ONLY(EditLocks);
