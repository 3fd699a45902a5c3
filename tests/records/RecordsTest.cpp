#include <KelRSList.h>

#include <gtest/gtest.h>

#include <type_traits>

TEST(RecordsetLoad, DefaultsGiveSearchBarNoToolbarNoBackgroundEditableUnsaved) {
    CRecordsetLoad load;
    EXPECT_TRUE(load.m_strRegistryKey.IsEmpty());
    for (DWORD dw : load.m_adwUser)
        EXPECT_EQ(dw, 0u);
    EXPECT_EQ(load.m_nSearchBarID, 2051u);
    EXPECT_EQ(load.m_nToolBarID, 0u);
    EXPECT_EQ(load.m_nBackgroundBitmapID, 0u);
    EXPECT_EQ(load.m_bShowBackground, 1);
    EXPECT_EQ(load.m_hResourceInstance, nullptr);
    EXPECT_EQ(load.m_bEditOnClick, 1);
    EXPECT_EQ(load.m_bToolBarText, 1);
    EXPECT_EQ(load.m_bToolBarLarge, 1);
    EXPECT_EQ(load.m_dwToolBarStyle, 52u);
    EXPECT_EQ(load.m_nToolBarDock, 0xE81Bu);
    EXPECT_EQ(load.m_dwSearchBarStyle, 10288u);
    EXPECT_EQ(load.m_nSearchBarDock, 0xE81Eu);
    EXPECT_EQ(load.m_nHeaderBitmapID, 0u);
    EXPECT_EQ(load.m_crHeaderMask, 0x02000000u);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(load.m_anToolBarBitmapID[k], 0u);
        EXPECT_EQ(load.m_acrToolBarMask[k], 0x02000000u);
    }
    EXPECT_EQ(load.m_pDatabase, nullptr);
    EXPECT_TRUE(load.m_strDatabase.IsEmpty());
    EXPECT_TRUE(load.m_strSQL.IsEmpty());
    EXPECT_TRUE(load.m_strOrder.IsEmpty());
    EXPECT_EQ(load.m_nOptions, 0);
}

TEST(RecordsetLoad, CopyAndAssignmentCopyEveryMemberAndShareTheBorrowedDatabase) {
    auto* pLoad = new CRecordsetLoad;
    pLoad->m_strRegistryKey = "Orders";
    pLoad->m_adwUser[9] = 77;
    pLoad->m_strTitle = "Orders";
    pLoad->m_strTitleSuffix = " (all)";
    pLoad->m_nToolBarID = 300;
    pLoad->m_anToolBarBitmapID[5] = 301;
    pLoad->m_acrToolBarMask[2] = RGB(1, 2, 3);
    pLoad->m_pCtrlClass = RUNTIME_CLASS(CObject);
    pLoad->m_pDatabase = reinterpret_cast<CDaoDatabase*>(pLoad); // any address: only carried
    pLoad->m_strSQL = "SELECT * FROM Orders";
    pLoad->m_strFilter2 = "Qty > 1";
    pLoad->m_nOptions = 64;

    CRecordsetLoad copy(*pLoad);
    CRecordsetLoad assigned;
    CRecordsetLoad& result = (assigned = *pLoad);
    EXPECT_EQ(&result, &assigned);
    for (const CRecordsetLoad* p : {&copy, &assigned}) {
        EXPECT_EQ(p->m_strRegistryKey, "Orders");
        EXPECT_EQ(p->m_adwUser[9], 77u);
        EXPECT_EQ(p->m_strTitleSuffix, " (all)");
        EXPECT_EQ(p->m_nToolBarID, 300u);
        EXPECT_EQ(p->m_anToolBarBitmapID[5], 301u);
        EXPECT_EQ(p->m_acrToolBarMask[2], RGB(1, 2, 3));
        EXPECT_EQ(p->m_acrToolBarMask[3], 0x02000000u);
        EXPECT_EQ(p->m_pCtrlClass, RUNTIME_CLASS(CObject));
        EXPECT_EQ(p->m_pDatabase, pLoad->m_pDatabase);
        EXPECT_EQ(p->m_strSQL, "SELECT * FROM Orders");
        EXPECT_EQ(p->m_strFilter2, "Qty > 1");
        EXPECT_EQ(p->m_nOptions, 64);
    }
    delete pLoad; // the copies keep their own strings
    EXPECT_EQ(copy.m_strTitle, "Orders");
    EXPECT_EQ(assigned.m_strSQL, "SELECT * FROM Orders");
}

namespace {

struct HostLoad : CRecordsetLoad {
    explicit HostLoad(int* pDeleted) : m_pDeleted(pDeleted) {}
    ~HostLoad() override { ++*m_pDeleted; }
    int* m_pDeleted;
    CString m_strExtra = "host data";
};

} // namespace

TEST(RecordsetLoad, HostRecordDeletedThroughBasePointerRunsItsDestructor) {
    int deleted = 0;
    CRecordsetLoad* pLoad = new HostLoad(&deleted);
    delete pLoad;
    EXPECT_EQ(deleted, 1);
}

TEST(ColumnDetails, InitRestoresTheDefaultsOfAFreshRecordAndCopiesTakeEveryMember) {
    auto expectDefaults = [](const CColumnDetails& c) {
        EXPECT_EQ(c.m_bKey, 0);
        EXPECT_TRUE(c.m_strName.IsEmpty() && c.m_strCaption.IsEmpty());
        EXPECT_EQ(c.m_bVisible, 1);
        EXPECT_EQ(c.m_nWidth, 0);
        EXPECT_EQ(c.m_nAlign, -1);
        EXPECT_EQ(c.m_nField, -1);
        EXPECT_EQ(c.m_nOrder, -1);
        EXPECT_EQ(c.m_nEditMode, 1);
        EXPECT_EQ(c.m_nFormat, 0);
    };
    CArray<CColumnDetails, CColumnDetails> columns;
    columns.SetSize(2);
    expectDefaults(columns[0]);

    CColumnDetails& col = columns[1];
    col.m_bKey = TRUE;
    col.m_strName = "[Price]";
    col.m_strCaption = "Price";
    col.m_bVisible = 2;
    col.m_nWidth = 12;
    col.m_nType = 5;
    col.m_nAlign = 2;
    col.m_crBack = RGB(8, 8, 8);
    col.m_nField = 3;
    col.m_nOrder = 4;
    col.m_nEditMode = 0;
    col.m_nFormat = -5;
    CArray<CColumnDetails, CColumnDetails> copy;
    copy.Copy(columns);
    col.init();
    expectDefaults(col);
    EXPECT_EQ(col.m_nType, 0);
    EXPECT_EQ(col.m_crBack, 0u);

    const CColumnDetails& kept = copy[1];
    EXPECT_EQ(kept.m_strName, "[Price]");
    EXPECT_EQ(kept.m_bVisible, 2);
    EXPECT_EQ(kept.m_nType, 5);
    EXPECT_EQ(kept.m_crBack, RGB(8, 8, 8));
    EXPECT_EQ(kept.m_nOrder, 4);
    EXPECT_EQ(kept.m_nEditMode, 0);
    EXPECT_EQ(kept.m_nFormat, -5);
    CColumnDetails assigned;
    EXPECT_EQ(&(assigned = kept), &assigned);
    EXPECT_EQ(assigned.m_nField, 3);
}

TEST(AdvSearch, DefaultHasNoColumnNorOperatorAndCopiesByValue) {
    CAdvSearch criterion;
    EXPECT_EQ(criterion.m_nColumnSel, 0);
    EXPECT_EQ(criterion.m_nOperatorSel, 0);
    EXPECT_EQ(criterion.m_nColumn, -2);
    EXPECT_EQ(criterion.m_nOperator, -2);
    EXPECT_TRUE(criterion.m_strCriteria.IsEmpty());

    CArray<CAdvSearch, CAdvSearch&> criteria;
    CAdvSearch one;
    one.m_nColumnSel = 1;
    one.m_nOperatorSel = 3;
    one.m_nColumn = 4;
    one.m_nOperator = 6;
    one.m_strCriteria = "Smith";
    criteria.Add(one);
    one.m_strCriteria = "changed";
    CArray<CAdvSearch, CAdvSearch&> copy(criteria);
    EXPECT_EQ(copy[0].m_strCriteria, "Smith");
    EXPECT_EQ(copy[0].m_nColumn, 4);
    EXPECT_EQ(copy[0].m_nOperator, 6);
    EXPECT_EQ(copy[0].m_nOperatorSel, 3);
    static_assert(!std::is_polymorphic_v<CAdvSearch>);
    static_assert(std::has_virtual_destructor_v<CColumnDetails>);
    static_assert(std::has_virtual_destructor_v<CRecordsetLoad>);
}
