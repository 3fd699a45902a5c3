// The database file taken away or cut short under an open document: the next move reports
// an error instead of crashing or showing blank rows as if they were records.
#include "DocumentFixture.h"

#include <filesystem>
#include <unistd.h>

using CS = CRecordsetDoc;

namespace {

// The SQLite file itself cut short or taken away.
class DocumentFault : public DocumentTest {
protected:
    // A document well into a table larger than SQLite's page cache keeps.
    void OpenLarge() {
        OpenPeople(20000, 20);
        ASSERT_EQ(Fetch(CS::gtFirst), CS::tsOk);
        ASSERT_EQ(Fetch(CS::gtPageDown), CS::tsOk);
    }
    // Moves on until one fails: each later move either fails too or shows whole records.
    void ExpectMovesFail() {
        int failures = 0;
        for (int nMove : {int(CS::gtPageDown), int(CS::gtLineDown), CS::gtAbsolute + 15000,
                          int(CS::gtFirst), int(CS::gtRefresh)}) {
            const int messages = NewMessages();
            CS::TableStatus status = Fetch(nMove);
            if (status == CS::tsFailed) {
                ++failures;
                EXPECT_GT(NewMessages(), messages) << "a failed move shows its error";
                continue;
            }
            for (int r = 0; r < m_nFilled; ++r)
                EXPECT_NE(Row(r).find("Name "), std::string::npos)
                    << "move " << nMove << " row " << r << ": " << Row(r);
        }
        EXPECT_GT(failures, 0);
    }
};

} // namespace

TEST_P(DocumentFault, TruncatedToNothing) {
    OpenLarge();
    std::filesystem::resize_file(m_db.Path(), 0);
    ExpectMovesFail();
}

TEST_P(DocumentFault, TruncatedToHalf) {
    OpenLarge();
    std::filesystem::resize_file(m_db.Path(), std::filesystem::file_size(m_db.Path()) / 2);
    ExpectMovesFail();
}

TEST_P(DocumentFault, Deleted) {
    OpenLarge();
    ASSERT_EQ(::unlink(m_db.Path().c_str()), 0);
    ExpectMovesFail();
    EXPECT_NE(LastMessage().Find("Could not find file"), -1) << LastMessage().str();
}

KEL_SQLITE_ONLY(DocumentFault);
