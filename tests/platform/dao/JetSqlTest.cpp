// The Jet dialect as SQLite reads it: each construct, and text inside literals left alone.
#include "platform/dao/JetSql.h"
#include "platform/dao/engines/postgresql/PgDialect.h"

#include <afxdisp.h>

#include <sqlite3.h>

#include <gtest/gtest.h>

using kel::dao::JetTextKind;
using kel::dao::TranslateJetSql;

namespace {

std::string Sql(const std::string& jet, JetTextKind kind = JetTextKind::Statement) {
    auto t = TranslateJetSql(jet, kind);
    EXPECT_TRUE(t.ok) << jet << ": " << t.description;
    return t.sql;
}

long ErrorCode(const std::string& jet, JetTextKind kind = JetTextKind::Statement) {
    auto t = TranslateJetSql(jet, kind);
    return t.ok ? 0 : t.errorCode;
}

// Whether SQLite finds value LIKE pattern once the Jet pattern is translated.
bool Like(const std::string& value, const std::string& pattern) {
    std::string expr = Sql("SELECT \"" + value + "\" LIKE \"" + pattern + "\"");
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, expr.c_str(), -1, &stmt, nullptr), SQLITE_OK) << expr;
    bool match = sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_int(stmt, 0) == 1;
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return match;
}

} // namespace

TEST(JetTranslation, QuotesAndNames) {
    EXPECT_EQ(Sql("SELECT * FROM [Order Details] WHERE [Name] = \"Smith\""),
              "SELECT * FROM [Order Details] WHERE [Name] = 'Smith' COLLATE JETTEXT");
    // A doubled double quote is one quote; a single quote inside is doubled for SQLite.
    EXPECT_EQ(Sql("x = \"say \"\"hi\"\" it's\""), "x = 'say \"hi\" it''s' COLLATE JETTEXT");
    EXPECT_EQ(Sql("x IN ('it''s')"), "x IN ('it''s')");
    EXPECT_EQ(Sql("x = \"\""), "x = '' COLLATE JETTEXT");
}

TEST(JetTranslation, LiteralsKeepWhatLooksLikeSyntax) {
    EXPECT_EQ(Sql("x = \"#1/2/2000# * ? [a] & True; DROP\""),
              "x = '#1/2/2000# * ? [a] & True; DROP' COLLATE JETTEXT");
    EXPECT_EQ(Sql("x = [c & d] & 'a & b'"), "x = [c & d] || 'a & b'");
    EXPECT_EQ(Sql("SELECT [True], [x#] FROM t"), "SELECT [True], [x#] FROM t");
}

TEST(JetTranslation, DatesBecomeIsoText) {
    EXPECT_EQ(Sql("d = #3/1/2000#"), "d = '2000-03-01'");
    EXPECT_EQ(Sql("d >= #03/01/2000 14:05:09#"), "d >= '2000-03-01 14:05:09'");
    EXPECT_EQ(Sql("d = #12/31/99#"), "d = '1999-12-31'");
    EXPECT_EQ(Sql("d = #1/2/05#"), "d = '2005-01-02'");
    EXPECT_EQ(Sql("d = #2000-03-01#"), "d = '2000-03-01'");
    EXPECT_EQ(Sql("d = #1/2/2003 10:30 PM#"), "d = '2003-01-02 22:30:00'");
    EXPECT_EQ(Sql("d = #12:15 AM#"), "d = '1899-12-30 00:15:00'");
    const std::string year = std::to_string(COleDateTime::GetCurrentTime().GetYear());
    EXPECT_EQ(Sql("d = #7/4#"), "d = '" + year + "-07-04'");
    for (const char* bad : {"d = #2/30/2000#", "d = #13/1/2000#", "d = #Invalid DateTime#",
                            "d = #1/2/2000", "d = ##"}) {
        auto t = TranslateJetSql(bad);
        EXPECT_FALSE(t.ok) << bad;
        EXPECT_EQ(t.errorCode, 3075);
        EXPECT_NE(t.description.find("Syntax error in date"), std::string::npos) << bad;
    }
}

TEST(JetTranslation, LikeWildcards) {
    EXPECT_EQ(Sql("n LIKE \"*abc?\""), "n LIKE '%abc_'");
    EXPECT_EQ(Sql("n NOT LIKE 'ab*'"), "n NOT LIKE 'ab%'");
    // Literal % and _ are escaped; [*] and [?] are the literal characters.
    EXPECT_EQ(Sql("n LIKE \"50%_[*]\""), "n LIKE '50\\%\\_*' ESCAPE '\\'");
    // Digits and classes need GLOB, folded to both cases as LIKE is case-insensitive.
    EXPECT_EQ(Sql("n LIKE \"a#*\""), "n GLOB '[aA][0-9]*'");
    EXPECT_EQ(Sql("n LIKE \"[a-c]?\""), "n GLOB '[a-cA-C]?'");
    EXPECT_EQ(Sql("n LIKE \"[!x]*\""), "n GLOB '[^xX]*'");
    // A pattern that is not a literal is left to SQLite as it is.
    EXPECT_EQ(Sql("n LIKE m & \"*\""), "n LIKE m || '*'");
    EXPECT_EQ(ErrorCode("n LIKE \"[abc\""), 3075);
}

TEST(JetTranslation, LikeMatchesAsTheEngineDoes) {
    EXPECT_TRUE(Like("Müller & Co", "*ller &*"));
    EXPECT_TRUE(Like("ABC", "abc"));
    EXPECT_FALSE(Like("abcd", "abc"));
    EXPECT_TRUE(Like("50% off", "50%*"));
    EXPECT_FALSE(Like("500 off", "50%*"));
    EXPECT_TRUE(Like("a_b", "a_b"));
    EXPECT_FALSE(Like("axb", "a_b"));
    EXPECT_TRUE(Like("B7", "[a-c]#"));
    EXPECT_FALSE(Like("d7", "[a-c]#"));
    EXPECT_FALSE(Like("bx", "[a-c]#"));
    EXPECT_TRUE(Like("x*y", "x[*]y"));
    EXPECT_FALSE(Like("xzy", "x[*]y"));
    EXPECT_TRUE(Like("q", "[!abc]"));
    EXPECT_FALSE(Like("A", "[!abc]"));
    EXPECT_TRUE(Like("-", "[a-]"));
    EXPECT_TRUE(Like("x]", "[]x]")); // "[]" is nothing, a lone "]" itself
    EXPECT_TRUE(Like("a\\b", "a\\b"));
}

TEST(JetTranslation, OperatorsAndConstants) {
    EXPECT_EQ(Sql("SELECT a & \" \" & b FROM t"), "SELECT a || ' ' || b FROM t");
    EXPECT_EQ(Sql("WHERE Shipped = True OR Paid = FALSE"), "WHERE Shipped = -1 OR Paid = 0");
    // Qualified names and calls are not the constants.
    EXPECT_EQ(Sql("SELECT t.True, True(1) FROM t"), "SELECT t.True, True(1) FROM t");
    // "- -" must not turn into a comment, nor "/ *".
    EXPECT_EQ(Sql("SELECT a--1, b/ *c FROM t"), "SELECT a- -1, b/ *c FROM t");
    EXPECT_EQ(Sql("SELECT * FROM t ORDER BY 2 DESC, [x] ASC"),
              "SELECT * FROM t ORDER BY 2 DESC, [x] ASC");
}

TEST(JetTranslation, OneStatementOnly) {
    EXPECT_EQ(Sql("SELECT 1;  "), "SELECT 1");
    auto second = TranslateJetSql("SELECT 1; DELETE FROM t");
    EXPECT_FALSE(second.ok);
    EXPECT_EQ(second.errorCode, 3142);
    EXPECT_EQ(second.description, "Characters found after end of SQL statement.");
    EXPECT_EQ(ErrorCode("a = 1;", JetTextKind::Expression), 3075);
    EXPECT_EQ(ErrorCode("a = \"open"), 3075);
    EXPECT_EQ(ErrorCode("SELECT [open FROM t"), 3075);
    auto t = TranslateJetSql("x = 'unterminated");
    EXPECT_EQ(t.description, "Syntax error in query expression 'x = 'unterminated'.");
}

// A NUL would end the text SQLite reads while the rest is still analysed as part of it.
TEST(JetTranslation, NulIsRefused) {
    using namespace std::string_literals;
    EXPECT_EQ(ErrorCode("SELECT a FROM t\0 UNION SELECT b FROM u"s), 3075);
    EXPECT_EQ(ErrorCode("a = \"x\0y\""s, JetTextKind::Expression), 3075);
}

// A criterion is put between parentheses of the statement's own; it has to be whole.
TEST(JetTranslation, CriterionParenthesesBalance) {
    EXPECT_EQ(ErrorCode("a = 1) OR (1 = 1", JetTextKind::Expression), 3075);
    EXPECT_EQ(ErrorCode("(a = 1", JetTextKind::Expression), 3075);
    EXPECT_EQ(ErrorCode("a = 1)", JetTextKind::Expression), 3075);
    EXPECT_EQ(Sql("(a IN (1, 2)) AND b = \")\" AND [c)] = 1", JetTextKind::Expression),
              "(a IN (1, 2)) AND b = ')' COLLATE JETTEXT AND [c)] = 1");
}

// A server folds bare names to lower case: Jet's names, which match without regard to case,
// go out in the spelling the server stores, and names given after AS keep theirs.
TEST(JetTranslation, BareNamesTakeTheServersSpelling) {
    const kel::dao::PgDialect pg;
    const std::vector<std::string> stored = {"Orders", "City", "orderid", "Amount", "amount"};
    auto on = [&](const std::string& jet) {
        auto t = TranslateJetSql(jet, JetTextKind::Statement, {}, &pg, {}, stored);
        EXPECT_TRUE(t.ok) << jet << ": " << t.description;
        return t.sql;
    };
    EXPECT_EQ(on("SELECT city, OrderID FROM orders WHERE City > 'M' ORDER BY city DESC"),
              "SELECT \"City\", \"orderid\" FROM \"Orders\" WHERE \"City\" > 'M' ORDER BY "
              "\"City\" DESC");
    // The exact spelling wins where the server keeps two; calls, keywords and unknown words stay.
    EXPECT_EQ(on("SELECT amount, Amount, count(*) AS n FROM Orders o GROUP BY o.amount"),
              "SELECT \"amount\", \"Amount\", count(*) AS \"n\" FROM \"Orders\" o GROUP BY "
              "o.\"amount\"");
    EXPECT_EQ(on("SELECT City AS Town FROM Orders ORDER BY town"),
              "SELECT \"City\" AS \"Town\" FROM \"Orders\" ORDER BY \"Town\"");
    // Bracketed names are asked about too: whether they are text decides their comparison.
    EXPECT_EQ(kel::dao::NamesIn("SELECT Sum(Amount), True FROM [Orders] WHERE city IS NULL"),
              (std::vector<std::string>{"Amount", "Orders", "city"}));
    // Without a dialect (SQLite), names stay as written.
    EXPECT_EQ(Sql("SELECT city FROM orders"), "SELECT city FROM orders");
}

// A server's boolean neither compares with numbers nor orders as Jet's Yes/No (-1, 0): a
// Yes/No field compared with a number, or ordered against True or False, becomes its number.
TEST(JetTranslation, YesNoFieldsCompareAsJetNumbersOnAServer) {
    const kel::dao::PgDialect pg;
    auto in = [&](JetTextKind kind, const std::string& jet) {
        auto t = TranslateJetSql(jet, kind, {}, &pg, {}, {}, {"Shipped"});
        EXPECT_TRUE(t.ok) << jet << ": " << t.description;
        return t.sql;
    };
    auto on = [&](const std::string& jet) { return in(JetTextKind::Expression, jet); };
    auto statement = [&](const std::string& jet) { return in(JetTextKind::Statement, jet); };
    EXPECT_EQ(on("[Shipped] = -1"), "(-CAST(\"Shipped\" AS integer)) = -1");
    EXPECT_EQ(on("[Shipped] >= 5.5 AND [Shipped] <= +2"),
              "(-CAST(\"Shipped\" AS integer)) >= 5.5 AND (-CAST(\"Shipped\" AS integer)) <= +2");
    EXPECT_EQ(on("0 <> o.Shipped"), "0 <> (-CAST(o.Shipped AS integer))");
    // Ordered against True (-1), every record is at least True; equality keeps the boolean.
    EXPECT_EQ(on("[Shipped] >= True"), "(-CAST(\"Shipped\" AS integer)) >= -1");
    EXPECT_EQ(on("[Shipped] = True OR Shipped"), "\"Shipped\" = TRUE OR Shipped");
    // Other fields, and numbers in arithmetic, stay as they are.
    EXPECT_EQ(on("[Amount] > 1 AND [Shipped] + 1 = 0"), "\"Amount\" > 1 AND \"Shipped\" + 1 = 0");
    EXPECT_EQ(on("Shipped NOT BETWEEN -1 AND 0"),
              "(-CAST(Shipped AS integer)) NOT BETWEEN -1 AND 0");
    // A rewrite whose operand was rewritten before takes all of that text, never part of it.
    EXPECT_EQ(on("[C] LIKE 'A*' LIKE 'B*'"),
              "(CAST((CAST(\"C\" AS text) ~ '^[Aa].*$') AS text) ~ '^[Bb].*$')");

    // A number given to a Yes/No field is stored as Jet stores it: any but 0 is True.
    EXPECT_EQ(statement("UPDATE o SET Amount = 1, [Shipped] = -1 WHERE Shipped = 0"),
              "UPDATE o SET Amount = 1, \"Shipped\" = TRUE WHERE (-CAST(Shipped AS integer)) = 0");
    EXPECT_EQ(statement("UPDATE o SET Shipped = 0.0, Amount = -1"),
              "UPDATE o SET Shipped = FALSE, Amount = -1");
    EXPECT_EQ(statement("UPDATE o SET Shipped = 1 + Amount"), "UPDATE o SET Shipped = 1 + Amount");
    EXPECT_EQ(statement("INSERT INTO o (Id, Shipped) VALUES (-1, -1), (2, 0)"),
              "INSERT INTO o (Id, Shipped) VALUES (-1, TRUE), (2, FALSE)");
    EXPECT_EQ(statement("INSERT INTO o (Shipped, Id) VALUES (2 * 3, 7)"),
              "INSERT INTO o (Shipped, Id) VALUES (2 * 3, 7)");
}
