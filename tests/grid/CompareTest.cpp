// Text compares as the dialect promises, seen from the grid: the header's sort, the bar's
// comparisons and LIKE, and type-ahead ignore the case of Latin letters, accented ones too.
#include "SearchHost.h"

namespace {

class CompareTest : public SearchTest {
protected:
    CRecordsetCtrl* Open(LPCTSTR lpszKey = "") {
        const std::string path = MakeDatabase(
            "CREATE TABLE People (ID INTEGER PRIMARY KEY, Name TEXT(30), Town TEXT(30));"
            "INSERT INTO People VALUES (1, 'émile', 'Zürich'), (2, 'Zoë', 'zug'), "
            "(3, 'apple', 'Aarau'), (4, 'Banana', 'bern'), (5, 'ÉCOLE', 'Basel'), "
            "(6, 'straße', 'Chur'), (7, 'STRASSE', 'aarau'), (8, 'ŁÓDŹ', 'Sion');");
        CRecordsetLoad* pLoad = MakeLoad("SELECT * FROM People", lpszKey);
        pLoad->m_strDatabase = path.c_str();
        return CreateSearchGrid(pLoad);
    }
    std::vector<std::string> Names() {
        std::vector<std::string> out;
        for (int r = 0; r < m_pGrid->m_arrayTable.GetSize(); ++r)
            if (!Cell(r, 0).IsEmpty())
                out.push_back((LPCTSTR)Cell(r, 1));
        return out;
    }
    int Search(int nOperator, LPCTSTR lpszText) {
        Choose(IDC_SB_COLUMN, 1);
        Choose(IDC_SB_OPERATOR, nOperator);
        Type(IDC_SB_CRITERIA, lpszText);
        Press(IDC_SB_SEARCH);
        EXPECT_TRUE(KelGetMessageBoxes().empty()) << lpszText;
        return m_pGrid->m_pDoc->GetTot();
    }
};

} // namespace

TEST_P(CompareTest, TheHeadersSortIgnoresCase) {
    Open();
    NMHEADER nm{};
    nm.hdr.hwndFrom = m_pGrid->m_wndHeader.m_hWnd;
    nm.hdr.code = HDN_ITEMCLICK;
    nm.iItem = HeaderItemOf(1);
    m_pGrid->SendMessage(WM_NOTIFY, 0, (LPARAM)&nm);
    KelRunUntilIdle();
    // Accented letters come after the plain ones; "ß" is not "ss".
    EXPECT_EQ(Names(), (std::vector<std::string>{"apple", "Banana", "STRASSE", "straße", "Zoë",
                                                 "ÉCOLE", "émile", "ŁÓDŹ"}));
}

TEST_P(CompareTest, TheBarComparesWithoutCase) {
    Open();
    EXPECT_EQ(Search(6, "ÉMILE"), 1);
    EXPECT_EQ(Search(6, "łódź"), 1);
    EXPECT_EQ(Search(6, "strasse"), 1);
    EXPECT_EQ(Search(5, "BANANA"), 2);
    EXPECT_EQ(Search(4, "zoë"), 4);
    EXPECT_EQ(Search(0, "É"), 2);
    EXPECT_EQ(Search(2, "ł"), 1);
    EXPECT_EQ(Search(3, "OË"), 1);
    // Every text column at once.
    Choose(IDC_SB_COLUMN, -1);
    Choose(IDC_SB_OPERATOR, 6);
    Type(IDC_SB_CRITERIA, "ZÜRICH");
    Press(IDC_SB_SEARCH);
    EXPECT_EQ(m_pGrid->m_pDoc->GetTot(), 1);
}

TEST_P(CompareTest, TypeAheadIgnoresCaseAndBeepsWhenNothingMatches) {
    {
        CRegistry reg(AppRegistryRoot, KeyPath("People\\"));
        reg.Write("SortByN", 1);
    }
    Open("People\\");
    ASSERT_EQ(m_pGrid->m_nSortByN, 1);
    m_pGrid->SetFocus();
    KelClearBeeps();
    m_robot.Type("s");
    EXPECT_EQ(Cell(0, 1), "STRASSE");
    m_robot.Type("traß");
    EXPECT_EQ(Cell(0, 1), "straße");
    m_robot.Wait(1000);
    m_robot.Type("é");
    EXPECT_EQ(Cell(0, 1), "ÉCOLE");
    EXPECT_TRUE(KelGetBeeps().empty());

    // Past the last name: a beep, and the window stays.
    const std::vector<std::string> before = Names();
    const int nPos = VPos();
    m_robot.Wait(1000);
    m_robot.Type("ż");
    EXPECT_EQ(KelGetBeeps().size(), 1u);
    EXPECT_EQ(Names(), before);
    EXPECT_EQ(VPos(), nPos);
    EXPECT_EQ(Cell(0, 1), "ÉCOLE");
}

KEL_BOTH_ENGINES(CompareTest);
