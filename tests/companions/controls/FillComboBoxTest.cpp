// FillComboBox: text and number pairs become entries with their numbers as item data.
#include "CompanionTest.h"

namespace {

class FillComboBoxTest : public CompanionTest {
protected:
    void SetUp() override {
        CompanionTest::SetUp();
        ASSERT_TRUE(host.CreateHost(CRect(0, 0, 300, 200)));
        ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL,
                                 CRect(10, 10, 150, 150), &host, 9430));
    }
    std::vector<std::string> Entries() {
        std::vector<std::string> out;
        for (int i = 0; i < combo.GetCount(); ++i) {
            CString text;
            combo.GetLBText(i, text);
            out.push_back(std::string(text) + "=" +
                          std::to_string(static_cast<int>(combo.GetItemData(i))));
        }
        return out;
    }

    CHostWnd host;
    CComboBox combo;
};

TEST_F(FillComboBoxTest, PairsBecomeEntriesWithTheirNumbers) {
    const char* operators = "Containing~0~Between~1~Starting with~2~Ending with~3~>=~4~<=~5~=~6";
    EXPECT_EQ(7, FillComboBox(&combo, operators, 1, '~'));
    EXPECT_EQ((std::vector<std::string>{"Containing=0", "Between=1", "Starting with=2",
                                        "Ending with=3", ">==4", "<==5", "==6"}),
              Entries());
    // Filled again with the flag, the list does not grow; without it, it does.
    EXPECT_EQ(7, FillComboBox(&combo, operators, FCB_RESETCONTENT, '~'));
    EXPECT_EQ(7, combo.GetCount());
    EXPECT_EQ(7, FillComboBox(&combo, operators, 0, '~'));
    EXPECT_EQ(14, combo.GetCount());

    // An empty text is an entry like the others.
    EXPECT_EQ(7,
              FillComboBox(&combo, "~-2~Containing~0~Starting with~2~Ending with~3~>=~4~<=~5~=~6",
                           1, '~'));
    EXPECT_EQ((std::vector<std::string>{"=-2", "Containing=0", "Starting with=2", "Ending with=3",
                                        ">==4", "<==5", "==6"}),
              Entries());

    // Another separator; one at the very end is allowed.
    EXPECT_EQ(2, FillComboBox(&combo, "a|10|b|-7|", 1, '|'));
    EXPECT_EQ((std::vector<std::string>{"a=10", "b=-7"}), Entries());
    EXPECT_EQ(0, FillComboBox(&combo, "", 1, '~'));
    EXPECT_EQ(0, combo.GetCount());
}

TEST_F(FillComboBoxTest, AListThatIsNotPairsChangesNothing) {
    ASSERT_EQ(1, FillComboBox(&combo, "kept~5", 1, '~'));
    for (const char* bad : {"a~1~b", "a~x", "a~1.5", "a~", "a~99999999999", "~"}) {
        EXPECT_EQ(CB_ERR, FillComboBox(&combo, bad, 1, '~')) << bad;
        EXPECT_EQ(std::vector<std::string>{"kept=5"}, Entries()) << bad;
    }
    EXPECT_EQ(CB_ERR, FillComboBox(nullptr, "a~1", 1, '~'));
    CComboBox noWindow;
    EXPECT_EQ(CB_ERR, FillComboBox(&noWindow, "a~1", 1, '~'));
}

} // namespace
