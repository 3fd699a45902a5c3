// Literals and names as the Jet dialect reads them: each is checked by handing it to a
// recordset over a real database, so a value that loses a digit, a second or a quote finds the
// wrong record or none.
#include <KelRSList.h>
#include <afxdao.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <limits>
#include <string>

using namespace kel::records;

namespace {

class JetLiteralDb : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::path dir = std::filesystem::path(KEL_TEST_DATA_DIR) / "records";
        std::filesystem::create_directories(dir);
        m_path =
            (dir /
             (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".db"))
                .string();
        std::filesystem::remove(m_path);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(m_path.c_str(), &db), SQLITE_OK);
        const char* sql =
            "CREATE TABLE T (ID INTEGER PRIMARY KEY, Who TEXT(40), [When] DATE, Ratio DOUBLE, "
            "Price CURRENCY, Ok BOOLEAN, \"Size [cm]\" TEXT(10));"
            "INSERT INTO T VALUES (1, 'O''Neil \"Bob\"', '2024-03-05 08:15:30', 0.1, 4085.8782, "
            "-1, 'a');"
            "INSERT INTO T VALUES (2, 'O''Neil', '2024-03-05 08:15:31', 0.30000000000000004, "
            "4085.88, 0, 'b');"
            "INSERT INTO T VALUES (3, NULL, '2024-03-05', 0.3, -0.0001, 0, NULL);"
            "INSERT INTO T VALUES (4, 'o''neil', NULL, NULL, NULL, NULL, NULL);";
        ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        m_db.Open(m_path.c_str());
    }
    void TearDown() override { m_db.Close(); }

    // The IDs of the records a WHERE text picks, as "1,3".
    std::string Ids(const CString& strWhere) {
        CDaoRecordset rs(&m_db);
        rs.Open(dbOpenDynaset, "SELECT * FROM T WHERE " + strWhere + " ORDER BY ID");
        std::string out;
        for (; !rs.IsEOF(); rs.MoveNext())
            out += (out.empty() ? "" : ",") + std::to_string(rs.GetFieldValue("ID").lVal);
        rs.Close();
        return out;
    }

    std::string KeyIds(LPCTSTR lpszField, const COleVariant& var) {
        CString strCondition, strError;
        EXPECT_TRUE(JetKeyCondition(lpszField, var, strCondition, strError)) << strError.str();
        return Ids(strCondition);
    }

    std::string m_path;
    CDaoDatabase m_db;
};

} // namespace

TEST_F(JetLiteralDb, StoredValuesFindExactlyTheirOwnRecord) {
    // Each value as the recordset reads it back picks its record and no other.
    CDaoRecordset rs(&m_db);
    rs.Open(dbOpenDynaset, "SELECT * FROM T WHERE ID < 4 ORDER BY ID");
    for (int id = 1; !rs.IsEOF(); rs.MoveNext(), ++id) {
        SCOPED_TRACE(id);
        for (LPCTSTR field : {"Who", "When", "Ratio", "Price"}) {
            SCOPED_TRACE(field);
            const COleVariant var = rs.GetFieldValue(field);
            if (var.vt == VT_NULL)
                EXPECT_EQ(KeyIds(field, var), "3");
            else
                EXPECT_EQ(KeyIds(field, var), std::to_string(id));
        }
    }
    rs.Close();
}

TEST_F(JetLiteralDb, BuiltValuesKeepTheirFullPrecision) {
    EXPECT_EQ(KeyIds("Ratio", COleVariant(0.30000000000000004)), "2");
    EXPECT_EQ(KeyIds("Ratio", COleVariant(0.3)), "3");
    COleCurrency price;
    price.SetCurrency(4085, 8782);
    EXPECT_EQ(KeyIds("Price", COleVariant(price)), "1");
    price.SetCurrency(0, -1);
    EXPECT_EQ(KeyIds("Price", COleVariant(price)), "3");
    EXPECT_EQ(KeyIds("When", COleVariant(COleDateTime(2024, 3, 5, 8, 15, 31))), "2");
    EXPECT_EQ(KeyIds("When", COleVariant(COleDateTime(2024, 3, 5, 0, 0, 0))), "3");
    EXPECT_EQ(KeyIds("Ok", COleVariant((short)-1, VT_BOOL)), "1");
    EXPECT_EQ(KeyIds("Who", COleVariant("O'Neil")), "2");
    EXPECT_EQ(KeyIds("Who", COleVariant("o'neil")), "4");
    EXPECT_EQ(KeyIds("Size [cm]", COleVariant("b")), "2");
    EXPECT_EQ(KeyIds("Size [cm]", COleVariant()), "3,4");
}

TEST(JetLiteral, NamesAreBracketedOrRefused) {
    CString strRef, strError;
    EXPECT_TRUE(JetName("Size [cm]", strRef, strError));
    EXPECT_EQ(strRef, "[Size [cm]]]");
    EXPECT_EQ(JetNameOf(strRef), "Size [cm]");
    EXPECT_TRUE(JetFieldReference("A.CustID", "CustID", strRef, strError));
    EXPECT_EQ(strRef, "[A].[CustID]");
    EXPECT_EQ(JetNameOf(strRef), "A.CustID");
    EXPECT_TRUE(JetFieldReference("v1.2", "v1.2", strRef, strError));
    EXPECT_EQ(strRef, "[v1.2]");

    EXPECT_FALSE(JetName("", strRef, strError));
    EXPECT_FALSE(strError.IsEmpty());
    EXPECT_TRUE(strRef.IsEmpty());
    EXPECT_FALSE(JetName("Line\nBreak", strRef, strError));
    EXPECT_NE(strError.Find("Line"), -1);

    // Nothing that has no literal is written as one.
    COleVariant var(std::numeric_limits<double>::infinity());
    CString strCondition;
    EXPECT_FALSE(JetKeyCondition("Ratio", var, strCondition, strError));
    EXPECT_TRUE(strCondition.IsEmpty());
}
