// The dialect's SQL run on its engine: hostile names and text survive quoting, literals
// compare with stored values, Jet's LIKE patterns match the same rows on every engine, text
// compares without regard to case, NULLs order as Jet orders them.
#include "EngineTestSupport.h"

#include "platform/core/OleDateTime.h"

#include <algorithm>

namespace enginetest {
namespace {

class EngineDialect : public EngineTest {
protected:
    const Dialect& D() const { return m_db->GetDialect(); }

    void MakeWords(const std::vector<std::string>& words) {
        m_db->Execute("CREATE TABLE words (w text)");
        auto insert = m_db->Prepare("INSERT INTO words VALUES (?)");
        for (const std::string& w : words) {
            insert->Bind(1, w == "<null>" ? EngineValue::Null() : EngineValue::Text(w));
            insert->Step();
        }
    }
    std::vector<std::string> Matching(const std::string& jetPattern) {
        const std::optional<std::string> like = D().Like("w", jetPattern);
        if (!like)
            return {"<no pattern>"};
        std::vector<std::string> out = Texts("SELECT w FROM words WHERE " + *like);
        std::sort(out.begin(), out.end());
        return out;
    }
};

TEST_P(EngineDialect, HostileNamesAndTextSurviveQuoting) {
    const std::vector<std::string> names = {"a\"b",   "x'; DROP TABLE t;--", "]", "sp ace", "\"\"",
                                            "Ünïcödé"};
    const std::vector<std::string> texts = {
        "x'; DROP TABLE t;--", "back\\slash\\'", "]", "a\"b", "", "''", "\n\t", "日本"};
    m_db->Execute("CREATE TABLE t (id integer)");
    int n = 0;
    for (const std::string& name : names) {
        m_db->Execute("CREATE TABLE " + D().QuoteName(name) + " (" + D().QuoteName(name + "c") +
                      " text)");
        for (const std::string& text : texts)
            m_db->Execute("INSERT INTO " + D().QuoteName(name) + " VALUES (" + D().QuoteText(text) +
                          ")");
        std::vector<std::string> back =
            Texts("SELECT " + D().QuoteName(name + "c") + " FROM " + D().QuoteName(name));
        EXPECT_EQ(back, texts) << name;
        EXPECT_EQ(m_db->DescribeTable(name).fields.at(0).name, name + "c");
        ++n;
    }
    EXPECT_EQ(Count("t"), 0); // still there
    EXPECT_EQ(FailureOf([&] { D().QuoteName(std::string("a\0b", 3)); }).Failure(),
              EngineFailure::InvalidArgument);
    EXPECT_EQ(FailureOf([&] { D().QuoteName(""); }).Failure(), EngineFailure::InvalidArgument);
    EXPECT_EQ(FailureOf([&] { D().QuoteText(std::string("a\0b", 3)); }).Failure(),
              EngineFailure::InvalidArgument);
}

TEST_P(EngineDialect, DateAndBooleanLiteralsCompareWithStoredValues) {
    m_db->Execute("CREATE TABLE e (d " + DateType() + ", f boolean)");
    auto insert = m_db->Prepare("INSERT INTO e VALUES (?, ?)");
    insert->BindAll({EngineValue::Text("2024-02-29 13:45:10"), EngineValue::Integer(-1)});
    insert->Step();
    insert->BindAll({EngineValue::Text("2024-03-01"), EngineValue::Integer(0)});
    insert->Step();
    const COleDateTime leap(2024, 2, 29, 13, 45, 10);
    const COleDateTime march(2024, 3, 1, 0, 0, 0);
    EXPECT_EQ(Count("e WHERE d = " + D().DateLiteral(leap.m_dt)), 1);
    EXPECT_EQ(Count("e WHERE d = " + D().DateLiteral(march.m_dt)), 1);
    EXPECT_EQ(Count("e WHERE d < " + D().DateLiteral(march.m_dt)), 1);
    EXPECT_EQ(Count("e WHERE f = " + D().BooleanLiteral(true)), 1);
    EXPECT_EQ(Count("e WHERE f = " + D().BooleanLiteral(false)), 1);
    EXPECT_EQ(Texts("SELECT d FROM e WHERE f = " + D().BooleanLiteral(true)),
              std::vector<std::string>{"2024-02-29 13:45:10"});
}

TEST_P(EngineDialect, JetLikePatternsMatchTheSameRows) {
    MakeWords({"apple", "Apple",  "APPLE pie", "banana", "a1b",  "a_b", "a%b", "axb", "Élan",
               "élan",  "ELAN",   "café",      "CAFÉ",   "cafe", "x*y", "x?y", "x[y", "x]y",
               "100%",  "ab\ncd", "",          "<null>", "Ÿes",  "ÿes", "a\\b"});
    struct Case {
        const char* pattern;
        std::vector<std::string> rows; // sorted by byte
    };
    const std::vector<Case> cases = {
        {"apple", {"Apple", "apple"}},
        {"a*", {"APPLE pie", "Apple", "a%b", "a1b", "a\\b", "a_b", "ab\ncd", "apple", "axb"}},
        {"?pple", {"Apple", "apple"}},
        {"a#b", {"a1b"}},
        {"a_b", {"a_b"}}, // _ is no wildcard in Jet
        {"a%b", {"a%b"}}, // nor is %
        {"a[_%]b", {"a%b", "a_b"}},
        {"a\\b", {"a\\b"}},
        {"[a-b]?b", {"a%b", "a1b", "a\\b", "a_b", "axb"}},
        {"[!a-z]*", {"100%", "Élan", "Ÿes", "élan", "ÿes"}}, // the class ignores case too
        {"élan", {"Élan", "élan"}},
        {"caf[é]", {"CAFÉ", "café"}},
        {"CAF?", {"CAFÉ", "cafe", "café"}},
        {"[ÿ]es", {"Ÿes", "ÿes"}},
        {"x[*]y", {"x*y"}},
        {"x[?]y", {"x?y"}},
        {"x[[]y", {"x[y"}},
        {"x]y", {"x]y"}},
        {"*[%]", {"100%"}},
        {"ab?cd", {"ab\ncd"}},
        {"*", {"",     "100%", "APPLE pie", "Apple", "CAFÉ", "ELAN",   "a%b",  "a1b",
               "a\\b", "a_b",  "ab\ncd",    "apple", "axb",  "banana", "café", "cafe",
               "x*y",  "x?y",  "x[y",       "x]y",   "Élan", "Ÿes",    "élan", "ÿes"}},
        {"", {""}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> expected = c.rows;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Matching(c.pattern), expected) << "pattern " << c.pattern;
    }
    // [*] classes of the [ kind that never close are refused before they reach the engine.
    EXPECT_FALSE(D().Like("w", "[abc").has_value());
    EXPECT_FALSE(D().Like("w", "a[").has_value());
}

TEST_P(EngineDialect, TextComparesAndOrdersWithoutCaseAndNullsFirst) {
    MakeWords({"b", "<null>", "Élan", "A", "élan", "c", "ELAN"});
    EXPECT_EQ(Texts("SELECT w FROM words WHERE " + D().TextKey("w") + " = " +
                    D().TextKey(D().QuoteText("éLAN")) + " ORDER BY w"),
              (std::vector<std::string>{"Élan", "élan"}));
    const std::string key = D().TextKey("w");
    const std::vector<std::string> ascending =
        Texts("SELECT w FROM words ORDER BY " + D().OrderTerm(key, false) + ", " +
              D().OrderTerm("w", false));
    EXPECT_EQ(ascending,
              (std::vector<std::string>{"<null>", "A", "b", "c", "ELAN", "Élan", "élan"}));
    const std::vector<std::string> descending =
        Texts("SELECT w FROM words ORDER BY " + D().OrderTerm(key, true) + ", " +
              D().OrderTerm("w", true));
    EXPECT_EQ(descending,
              (std::vector<std::string>{"élan", "Élan", "ELAN", "c", "b", "A", "<null>"}));
}

TEST_P(EngineDialect, BoundedReadStopsEarly) {
    MakeWords({"a", "b", "c", "d"});
    EXPECT_EQ(Texts("SELECT w FROM words ORDER BY w" + D().BoundedRead(2)),
              (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(Texts("SELECT w FROM words" + D().BoundedRead(-5)).empty());
}

KEL_ENGINE_SUITE(EngineDialect);

} // namespace
} // namespace enginetest
