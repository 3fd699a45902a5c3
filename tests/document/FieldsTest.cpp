#include "DocumentFixture.h"

#include <set>

namespace {

struct Fields {
    CStringArray names;
    CUIntArray widths;
    CArray<short, short> types;
    CArray<BYTE, BYTE> aligns;
    CArray<int, int> sortable;
    int key = -1;
    void From(CRecordsetDoc& doc) {
        doc.GetFields(&names, &widths, &types, &aligns, &sortable, &key);
    }
};

} // namespace

TEST_P(DocumentTest, AClosedDocumentLeavesEveryOutputUntouched) {
    Fields f;
    f.names.Add("n");
    f.widths.Add(99);
    f.key = -1;
    f.From(m_doc);
    EXPECT_EQ(f.names.GetSize(), 1);
    EXPECT_EQ(f.widths[0], 99u);
    EXPECT_EQ(f.types.GetSize(), 0);
    EXPECT_EQ(f.key, -1);
}

// Every DAO type in a row, as SQLite's declared types give them (a server has no byte and no
// fixed binary type).
class DocumentTypes : public DocumentTest {};

TEST_P(DocumentTypes, EachTypeGetsItsWidthAlignmentAndSortability) {
    m_db.Exec("CREATE TABLE T (B BOOLEAN, Y BYTE, I SMALLINT, L INTEGER, C CURRENCY, "
              "S SINGLE, D DOUBLE, T DATE, N BINARY(8), X TEXT(10), O BLOB, M MEMO)");
    OpenOn("SELECT * FROM T");
    Fields f;
    f.From(m_doc);
    ASSERT_EQ(f.names.GetSize(), 12);
    const char* names[] = {"B", "Y", "I", "L", "C", "S", "D", "T", "N", "X", "O", "M"};
    const UINT widths[] = {4, 2, 5, 8, 8, 7, 8, 10, 0, 6, 0, 15};
    const BYTE aligns[] = {0, 2, 2, 2, 2, 2, 2, 0, 0, 0, 0, 0};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(f.names[i], names[i]);
        EXPECT_EQ(f.types[i], i + 1) << names[i];
        EXPECT_EQ(f.widths[i], widths[i]) << names[i];
        EXPECT_EQ(f.aligns[i], aligns[i]) << names[i];
        EXPECT_EQ(f.sortable[i], i == 11 ? 0 : 1) << names[i];
    }
    EXPECT_EQ(f.key, 0); // a dynaset has no primary index: field 0
}

TEST_P(DocumentTest, TextWidthsFollowTheFieldSizeWithTheirOddSteps) {
    m_db.Exec("CREATE TABLE W (A TEXT(1), B TEXT(2), C TEXT(3), D TEXT(10), E TEXT(15), "
              "F TEXT(20), G TEXT(30), H TEXT(31), I TEXT(50), J TEXT)");
    OpenOn("SELECT * FROM W");
    CUIntArray widths;
    m_doc.GetFields(NULL, &widths, NULL, NULL, NULL, NULL);
    const UINT expected[] = {10, 1, 2, 6, 10, 13, 20, 15, 15, 15};
    ASSERT_EQ(widths.GetSize(), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(widths[i], expected[i]) << i;
}

TEST_P(DocumentTest, AKeyGivenOnEntryIsKeptAndNullOutputsAreSkipped) {
    OpenPeople(2, 2);
    int key = 3;
    m_doc.GetFields(NULL, NULL, NULL, NULL, NULL, &key);
    EXPECT_EQ(key, 3);
    key = -1;
    m_doc.GetFields(NULL, NULL, NULL, NULL, NULL, &key);
    EXPECT_EQ(key, 0);
    CStringArray names;
    m_doc.GetFields(&names, NULL, NULL, NULL, NULL, NULL);
    ASSERT_EQ(names.GetSize(), 6);
    EXPECT_EQ(names[5], "Notes");
}

TEST_P(DocumentTest, AJoinListsEachFieldOnceUnderANameThatTellsItApart) {
    m_db.Exec("CREATE TABLE Staff (ID INTEGER PRIMARY KEY, Name TEXT(20), Boss INTEGER);"
              "INSERT INTO Staff VALUES (1, 'Ada', NULL), (2, 'Ben', 1), (3, 'Cleo', 1), "
              "(4, 'Dan', 3);");
    OpenOn("SELECT * FROM Staff AS A INNER JOIN Staff AS B ON A.Boss = B.ID", "A.ID");
    Fields f;
    f.From(m_doc);
    ASSERT_EQ(f.names.GetSize(), 6);
    const char* names[] = {"A.ID", "A.Name", "A.Boss", "B.ID", "B.Name", "B.Boss"};
    // Each column's settings are kept under source.[column]: those keys must differ too.
    std::set<std::string> keys;
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(f.names[i], names[i]);
        std::string name = f.names[i].str();
        size_t dot = name.find('.');
        keys.insert(dot == std::string::npos
                        ? "[" + name + "]"
                        : name.substr(0, dot) + ".[" + name.substr(dot + 1) + "]");
    }
    EXPECT_EQ(keys.size(), 6u);

    // The search bar names a column as the field list does.
    CArray<CColumnDetails, CColumnDetails> cols;
    cols.SetSize(6);
    for (int i = 0; i < 6; ++i) {
        cols[i].m_strName = f.names[i];
        cols[i].m_nType = f.types[i];
        cols[i].m_nField = i;
    }
    m_nCount = 3;
    m_rows.SetSize(3);
    m_rows[0].SetSize(6);
    ASSERT_EQ(Fetch(CRecordsetDoc::gtFirst, &cols), CRecordsetDoc::tsOk);
    EXPECT_EQ(Row(0), "2|Ben|1|1|Ada|");
    EXPECT_EQ(m_doc.SearchAndGet("B.Name", 0, "C", &m_rows, &cols, m_nCount, &m_first, &m_last,
                                 &m_nFilled),
              2);
    EXPECT_EQ(Row(0), "4|Dan|3|3|Cleo|1");
    EXPECT_EQ(NewMessages(), 0);
}

KEL_SQLITE_ONLY(DocumentTypes);
