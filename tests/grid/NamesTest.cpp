// Field names as users write them, through every way the grid names a field: the sort, the
// search bar, the search in every text column, the advanced search and type-ahead.
#include "SearchHost.h"

namespace {

constexpr const char* kThings =
    "CREATE TABLE Things (ID INTEGER PRIMARY KEY, \"v1.2\" DOUBLE, \"Size [cm]\" TEXT(20), "
    "\"Order Date\" DATE, \"Straße\" TEXT(30), \"O'Neil\" TEXT(30), \"\"\"quoted\"\"\" TEXT(30));"
    "INSERT INTO Things VALUES (1, 1.5, 'small', '2024-01-05', 'Hauptstraße', 'Pat', 'yes'), "
    "(2, 2.5, 'large', '2024-02-10', 'Ringweg', 'Sean', 'no'), "
    "(3, 0.5, 'medium', '2024-03-15 10:30:00', 'Bahnhofstraße', 'Mary', 'yes'), "
    "(4, 3.5, 'huge', '2023-12-01', 'Am Markt', 'Liam', NULL);"
    "CREATE TABLE Odd (ID INTEGER PRIMARY KEY, \"Line\nFeed\" TEXT(10));"
    "INSERT INTO Odd VALUES (1, 'x');";

class NamesTest : public SearchTest {
protected:
    CRecordsetCtrl* Open(LPCTSTR lpszSQL = "SELECT * FROM Things", LPCTSTR lpszKey = "") {
        if (m_strPath.empty())
            m_strPath = MakeDatabase(kThings);
        CRecordsetLoad* pLoad = MakeLoad(lpszSQL, lpszKey);
        pLoad->m_strDatabase = m_strPath.c_str();
        return CreateSearchGrid(pLoad);
    }
    // The column index of the field with that caption.
    int Field(LPCTSTR lpszCaption) {
        for (int i = 0; i < m_pGrid->m_arrayColumns.GetSize(); ++i)
            if (m_pGrid->m_arrayColumns[i].m_strCaption == lpszCaption)
                return i;
        ADD_FAILURE() << "no field " << lpszCaption;
        return -1;
    }
    // Searches from the bar; the records found, or -1 when a message refused the search or
    // the database failed.
    int Search(int nColumn, int nOperator, LPCTSTR lpszText) {
        KelClearMessageBoxes();
        Choose(IDC_SB_COLUMN, nColumn);
        Choose(IDC_SB_OPERATOR, nOperator);
        Type(IDC_SB_CRITERIA, lpszText);
        Press(IDC_SB_SEARCH);
        if (!KelGetMessageBoxes().empty()) {
            m_strMessage = KelGetMessageBoxes().back().strText;
            return -1;
        }
        return m_pGrid->m_pDoc->GetTot();
    }
    // The text of column nColumn in each row of the window that holds a record.
    std::vector<std::string> Column(int nColumn) {
        std::vector<std::string> out;
        for (int r = 0; r < m_pGrid->m_arrayTable.GetSize(); ++r)
            if (!Cell(r, m_pGrid->m_nKeyColumn).IsEmpty())
                out.push_back((LPCTSTR)Cell(r, nColumn));
        return out;
    }
    void ClickHeader(int nColumn) {
        NMHEADER nm{};
        nm.hdr.hwndFrom = m_pGrid->m_wndHeader.m_hWnd;
        nm.hdr.code = HDN_ITEMCLICK;
        nm.iItem = HeaderItemOf(nColumn);
        m_pGrid->SendMessage(WM_NOTIFY, 0, (LPARAM)&nm);
        KelRunUntilIdle();
    }

    std::string m_strPath;
    CString m_strMessage;
};

} // namespace

TEST_P(NamesTest, TheBarSearchesEveryKindOfName) {
    Open();
    EXPECT_EQ(m_pGrid->m_arrayColumns[Field("Size [cm]")].m_strName, "[Size [cm]]]");
    EXPECT_EQ(Search(Field("v1.2"), 6, "2.5"), 1);
    EXPECT_EQ(Search(Field("v1.2"), 4, "1.5"), 3);
    EXPECT_EQ(Search(Field("Size [cm]"), 0, "ar"), 1);
    EXPECT_EQ(Search(Field("Size [cm]"), 6, "Medium"), 1);
    EXPECT_EQ(Search(Field("Order Date"), 4, "2/1/2024"), 2);
    EXPECT_EQ(Search(Field("Order Date"), 6, "3/15/2024 10:30:00"), 1);
    EXPECT_EQ(Search(Field("Straße"), 3, "straße"), 2);
    EXPECT_EQ(Search(Field("O'Neil"), 2, "m"), 1);
    EXPECT_EQ(Search(Field("\"quoted\""), 6, "yes"), 2);
    EXPECT_EQ(Search(Field("\"quoted\""), 6, ""), 1); // nothing typed: the empty ones
}

TEST_P(NamesTest, AllColumnsAndAdvancedSearchAcrossNames) {
    Open();
    // "ar" is in large, Mary and Am Markt.
    EXPECT_EQ(Search(-1, 0, "ar"), 3);
    EXPECT_EQ(Slot(0), "[Size [cm]]] LIKE \"*ar*\" OR [Straße] LIKE \"*ar*\" OR [O'Neil] LIKE "
                       "\"*ar*\" OR [\"quoted\"] LIKE \"*ar*\"");

    // (Size [cm] starts with "m" AND "quoted" = yes) OR (v1.2 >= 3).
    CAdvSearch crit;
    crit.m_nColumn = Field("Size [cm]");
    crit.m_nOperator = 2;
    crit.m_strCriteria = "m";
    m_pGrid->m_arrayAdvSearch.Add(crit);
    crit.m_nColumn = Field("\"quoted\"");
    crit.m_nOperator = 6;
    crit.m_strCriteria = "YES";
    m_pGrid->m_arrayAdvSearch.Add(crit);
    crit.m_nColumn = Field("v1.2");
    crit.m_nOperator = 4;
    crit.m_strCriteria = "3";
    m_pGrid->m_arrayAdvSearch.Add(crit);
    m_pGrid->m_nAdvSearchOr = 2;
    KelClearMessageBoxes();
    Choose(IDC_SB_COLUMN, -2);
    Press(IDC_SB_SEARCH);
    EXPECT_TRUE(KelGetMessageBoxes().empty());
    EXPECT_EQ(Column(0), (std::vector<std::string>{"3", "4"}));
}

TEST_P(NamesTest, SortAndTypeAheadOnNamesWithBrackets) {
    Open("SELECT * FROM Things", "Things\\");
    const int size = Field("Size [cm]");
    ClickHeader(size);
    EXPECT_EQ(Column(size), (std::vector<std::string>{"huge", "large", "medium", "small"}));
    m_pGrid->SetFocus();
    KelClearBeeps();
    m_robot.Type("sm");
    EXPECT_EQ(Cell(0, size), "small");
    EXPECT_TRUE(KelGetBeeps().empty());
    // The layout is kept under the field's own name and comes back with the sort.
    CloseGrid();
    CString strValue;
    EXPECT_TRUE(CRegistry(AppRegistryRoot, KeyPath("Things\\")).Read("[Size [cm]]]", strValue, ""));
    Open("SELECT * FROM Things", "Things\\");
    EXPECT_EQ(Column(Field("Size [cm]")),
              (std::vector<std::string>{"huge", "large", "medium", "small"}));
    const int neil = Field("O'Neil");
    ClickHeader(neil);
    ClickHeader(neil);
    EXPECT_EQ(Column(neil), (std::vector<std::string>{"Sean", "Pat", "Mary", "Liam"}));
    m_pGrid->SetFocus();
    m_robot.Wait(1000);
    m_robot.Type("p");
    EXPECT_EQ(Cell(0, neil), "Pat");
}

TEST_P(NamesTest, ANameTheDialectCannotCarryIsRefusedWithAMessage) {
    Open("SELECT * FROM Odd");
    const int odd = Field("Line\nFeed");
    EXPECT_EQ(Search(odd, 6, "x"), -1);
    EXPECT_NE(m_strMessage.Find("cannot be used in a query"), -1);
    EXPECT_TRUE(Slot(0).IsEmpty()); // nothing was sent
    EXPECT_EQ(m_pGrid->m_pDoc->GetTot(), 1);
    EXPECT_EQ(Search(-1, 0, "x"), -1);
    EXPECT_TRUE(Slot(0).IsEmpty());
}

// Type-ahead on a date waits for a date: a part of one ("1/") is no miss. A date that nothing
// reaches beeps and leaves the window.
TEST_P(NamesTest, TypeAheadOnADateBeepsOnlyForADateThatMatchesNothing) {
    {
        CRegistry reg(AppRegistryRoot, KeyPath("Dates\\"));
        reg.Write("SortByN", 3); // Order Date
    }
    Open("SELECT * FROM Things", "Dates\\");
    ASSERT_EQ(m_pGrid->m_nSortByN, 3);
    m_pGrid->SetFocus();
    KelClearBeeps();
    m_robot.Type("1/");
    EXPECT_TRUE(KelGetBeeps().empty());
    EXPECT_EQ(Cell(0, 0), "4");
    m_robot.Wait(1000);
    m_robot.Type("3/15/2024");
    EXPECT_EQ(Cell(0, 0), "3");
    m_robot.Wait(1000);
    m_robot.Type("12/31/209"); // the year 209: every record comes after it
    const CString strTop = Cell(0, 0);
    const int nPos = VPos();
    KelClearBeeps();
    m_robot.Type("9");
    EXPECT_EQ(KelGetBeeps().size(), 1u);
    EXPECT_EQ(Cell(0, 0), strTop);
    EXPECT_EQ(VPos(), nPos);
}

KEL_BOTH_ENGINES(NamesTest);
