#include "SearchHost.h"

namespace {

class FilterTest : public SearchTest {
protected:
    void SetUp() override {
        SearchTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        CreateGrid(MakeLoad());
        text = Column("[City]");
        date = Column("[OrderDate]");
        plain = Column("[Quantity]");
        boolean = Column("[Shipped]");
    }
    CString F(int c, int op, LPCTSTR v, LPCTSTR a = nullptr, LPCTSTR b = nullptr) {
        return m_pGrid->CreateFilter(c, op, v, a, b);
    }
    // The refusal's message, or "" when the criterion was taken.
    CString Refusal(int c, int op, LPCTSTR v, LPCTSTR a = nullptr, LPCTSTR b = nullptr) {
        CString strFilter, strError;
        BOOL bOk = m_pGrid->BuildFilter(c, op, v, a, b, strFilter, strError);
        EXPECT_EQ(bOk, strError.IsEmpty());
        EXPECT_EQ(bOk, !strFilter.IsEmpty());
        return strError;
    }
    int text = -1, date = -1, plain = -1, boolean = -1;
};

TEST_P(FilterTest, EveryCellOfTheTable) {
    for (int c : {text, date, plain}) {
        const CString f = m_pGrid->m_arrayColumns[c].m_strName + " ";
        for (int op : {0, 2, 3, 4, 5, 6})
            EXPECT_EQ(F(c, op, ""), f + "IS NULL") << c << " " << op;
        EXPECT_EQ(F(c, 0, "12"), f + "LIKE \"*12*\"");
        EXPECT_EQ(F(c, 2, "12"), f + "LIKE \"12*\"");
        EXPECT_EQ(F(c, 3, "12"), f + "LIKE \"*12\"");
        for (int op : {-2, -1, 7, 100})
            EXPECT_EQ(F(c, op, "12"), "");
    }
    EXPECT_EQ(F(text, 1, "a", "b", "c"), "[City] >= \"b\" AND [City] <= \"c\"");
    EXPECT_EQ(F(text, 4, "Jena"), "[City] >= \"Jena\"");
    EXPECT_EQ(F(text, 5, "Jena"), "[City] <= \"Jena\"");
    EXPECT_EQ(F(text, 6, " Jena "), "[City] = \" Jena \"");
    EXPECT_EQ(F(date, 1, "", "3/1/2000", "2000-03-05"),
              "[OrderDate] >= #3/1/2000# AND [OrderDate] <= #3/5/2000#");
    EXPECT_EQ(F(date, 4, "3/1/2000"), "[OrderDate] >= #3/1/2000#");
    EXPECT_EQ(F(date, 5, "3/1/2000"), "[OrderDate] <= #3/1/2000#");
    EXPECT_EQ(F(date, 6, "3/1/2000"), "[OrderDate] = #3/1/2000#");
    EXPECT_EQ(F(plain, 1, "", "1", "5"), "[Quantity] >= 1 AND [Quantity] <= 5");
    EXPECT_EQ(F(plain, 4, "-2.5"), "[Quantity] >= -2.5");
    EXPECT_EQ(F(plain, 5, "1e3"), "[Quantity] <= 1e3");
    EXPECT_EQ(F(plain, 6, "7"), "[Quantity] = 7");
    EXPECT_EQ(F(boolean, 6, "Yes"), "[Shipped] = True");
    EXPECT_EQ(F(boolean, 6, "no"), "[Shipped] = False");
    EXPECT_EQ(F(boolean, 6, "-1"), "[Shipped] = -1");
}

TEST_P(FilterTest, UnsafeValuesAreQuotedOrRefused) {
    EXPECT_EQ(F(text, 6, "a\"b"), "[City] = \"a\"\"b\"");
    EXPECT_EQ(F(text, 0, "\") OR (1=1"), "[City] LIKE \"*\"\") OR (1=1*\"");
    EXPECT_NE(Refusal(text, 0, "ab[c"), "");
    EXPECT_EQ(Refusal(text, 0, "[a-c]x"), "");
    for (LPCTSTR v : {"abc", "1 OR 1=1", "--1", "0x10", ".", "1e", "5 5", "Yes"})
        EXPECT_NE(Refusal(plain, 6, v), "") << v;
    EXPECT_NE(Refusal(plain, 1, "", "", "5"), "");
    EXPECT_NE(Refusal(plain, 0, "abc"), "");
    EXPECT_NE(Refusal(boolean, 6, "maybe"), "");
    for (LPCTSTR v : {"13/45/2001", "yesterday", "#1/1/2001#"})
        EXPECT_NE(Refusal(date, 4, v), "") << v;
    EXPECT_NE(Refusal(date, 1, "", "1/1/2001", ""), "");
    EXPECT_NE(Refusal(date, 6, "x").Find("x"), -1);
    EXPECT_NE(Refusal(-1, 6, "x"), "");
    EXPECT_NE(Refusal(m_pGrid->m_arrayColumns.GetSize(), 6, "x"), "");
}

TEST_P(FilterTest, AllColumnsAndCompoundFilters) {
    CString strFilter, strError;
    ASSERT_TRUE(m_pGrid->BuildAllColumnsFilter(6, "a\"b", strFilter, strError));
    EXPECT_EQ(strFilter, "[Customer] = \"a\"\"b\" OR [City] = \"a\"\"b\" OR [Notes] = \"a\"\"b\"");
    ASSERT_TRUE(m_pGrid->BuildAllColumnsFilter(0, "", strFilter, strError));
    EXPECT_EQ(strFilter, "[Customer] LIKE \"**\" OR [City] LIKE \"**\" OR [Notes] LIKE \"**\"");
    EXPECT_FALSE(m_pGrid->BuildAllColumnsFilter(1, "a", strFilter, strError));
    EXPECT_NE(strError, "");
    EXPECT_FALSE(m_pGrid->BuildAllColumnsFilter(-1, "a", strFilter, strError));

    auto crit = [&](int c, int op, LPCTSTR v) {
        CAdvSearch s;
        s.m_nColumn = c;
        s.m_nOperator = op;
        s.m_strCriteria = v;
        return s;
    };
    auto& adv = m_pGrid->m_arrayAdvSearch;
    ASSERT_TRUE(m_pGrid->BuildAdvancedFilter(strFilter, strError));
    EXPECT_EQ(strFilter, "");
    adv.Add(crit(text, 2, "B"));
    adv.Add(crit(plain, 4, "10"));
    adv.Add(crit(text, 0, ""));
    m_pGrid->m_nAdvSearchOr = 2;
    ASSERT_TRUE(m_pGrid->BuildAdvancedFilter(strFilter, strError));
    EXPECT_EQ(strFilter, "([City] LIKE \"B*\" AND [Quantity] >= 10) OR ([City] IS NULL)");
    m_pGrid->m_nAdvSearchOr = 0;
    ASSERT_TRUE(m_pGrid->BuildAdvancedFilter(strFilter, strError));
    EXPECT_EQ(strFilter, "([City] LIKE \"B*\" AND [Quantity] >= 10 AND [City] IS NULL)");
    m_pGrid->m_nAdvSearchOr = 3;
    adv.SetSize(1);
    m_pGrid->m_nAdvSearchOr = 1;
    ASSERT_TRUE(m_pGrid->BuildAdvancedFilter(strFilter, strError));
    EXPECT_EQ(strFilter, "([City] LIKE \"B*\")");
    adv.Add(crit(plain, 6, "x"));
    EXPECT_FALSE(m_pGrid->BuildAdvancedFilter(strFilter, strError));
    EXPECT_EQ(strFilter, "");
}

// Searching for nothing finds the records where the field is empty.
TEST_P(FilterTest, EmptyCriterionFindsEmptyFields) {
    m_pGrid->m_pDoc->SetFilter(0, F(text, 6, ""));
    m_pGrid->SendMessage(WM_RSC_RELOAD, 0, 0);
    EXPECT_GT(Count(), 0);
    EXPECT_LT(Count(), 250);
    for (int r = 0; r < m_pGrid->m_nTableRows; ++r)
        EXPECT_EQ(Cell(r, text), "");
}

} // namespace

KEL_BOTH_ENGINES(FilterTest);
