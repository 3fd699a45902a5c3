// Fields: types and sizes from declarations, values as variants, names of expressions and of
// fields joined tables share, and the indexes of a table.
#include "DaoTestSupport.h"

#include <cmath>
#include <cstdint>
#include <limits>

using namespace daotest;

namespace {
class Fields : public EngineTest {};
// SQLite's own: types from declared names, values by its storage conventions and affinity.
class FieldsStorage : public EngineTest {};
} // namespace

TEST_P(FieldsStorage, TypesAndSizesFromDeclarations) {
    struct Column {
        const char* decl;
        short type;
        long size;
    } columns[] = {
        {"BOOLEAN", dbBoolean, 1},
        {"BIT", dbBoolean, 1},
        {"YESNO", dbBoolean, 1},
        {"BYTE", dbByte, 1},
        {"TINYINT", dbByte, 1},
        {"SMALLINT", dbInteger, 2},
        {"SHORT", dbInteger, 2},
        {"INTEGER", dbLong, 4},
        {"INT", dbLong, 4},
        {"LONG", dbLong, 4},
        {"COUNTER", dbLong, 4},
        {"CURRENCY", dbCurrency, 8},
        {"MONEY", dbCurrency, 8},
        {"SINGLE", dbSingle, 4},
        {"FLOAT4", dbSingle, 4},
        {"DOUBLE", dbDouble, 8},
        {"REAL", dbDouble, 8},
        {"FLOAT", dbDouble, 8},
        {"NUMERIC", dbDouble, 8},
        {"DATE", dbDate, 8},
        {"DATETIME", dbDate, 8},
        {"TIMESTAMP", dbDate, 8},
        {"TIME", dbDate, 8},
        {"BINARY(16)", dbBinary, 16},
        {"VARBINARY(8)", dbBinary, 8},
        {"TEXT(50)", dbText, 50},
        {"VARCHAR(40)", dbText, 40},
        {"CHAR(8)", dbText, 8},
        {"TEXT", dbText, 255},
        {"varchar ( 12 )", dbText, 12},
        {"BLOB", dbLongBinary, 0},
        {"IMAGE", dbLongBinary, 0},
        {"LONGBINARY", dbLongBinary, 0},
        {"OLEOBJECT", dbLongBinary, 0},
        {"MEMO", dbMemo, 0},
        {"LONGTEXT", dbMemo, 0},
        {"CLOB", dbMemo, 0},
        {"BIGINT", dbLong, 4},
        {"NVARCHAR(20)", dbText, 20},
    };
    std::string create = "CREATE TABLE T (";
    for (size_t i = 0; i < std::size(columns); ++i)
        create += (i ? ", c" : "c") + std::to_string(i) + " " + columns[i].decl;
    std::string path = MakeDatabase(create + ");");
    CDaoDatabase db;
    db.Open(path.c_str());
    CDaoRecordset rs(&db);
    rs.Open(dbOpenTable, "T");
    ASSERT_EQ(rs.GetFieldCount(), static_cast<short>(std::size(columns)));
    for (size_t i = 0; i < std::size(columns); ++i) {
        CDaoFieldInfo info;
        rs.GetFieldInfo(static_cast<int>(i), info);
        EXPECT_EQ(info.m_nType, columns[i].type) << columns[i].decl;
        EXPECT_EQ(info.m_lSize, columns[i].size) << columns[i].decl;
    }
}

TEST_P(FieldsStorage, ValuesByTheStorageConventions) {
    std::string path = MakeDatabase(
        "CREATE TABLE T (ID INTEGER PRIMARY KEY, Flag BOOLEAN, B BYTE, S SMALLINT, "
        "Cost CURRENCY, F SINGLE, D DOUBLE, Day DATETIME, Name VARCHAR(20), Note MEMO, Raw BLOB);"
        "INSERT INTO T VALUES (1, -1, 200, -5, 12.3456, 0.5, 2.25, '2000-03-01', 'Ann', 'long', "
        "X'00FF');"
        "INSERT INTO T VALUES (2, 0, 0, 0, 7, 0, 0, '2021-12-31 23:59:58', '', NULL, NULL);"
        "INSERT INTO T VALUES (3, 5, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);");
    CDaoDatabase db;
    db.Open(path.c_str());
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT * FROM T");

    COleVariant v = rs.GetFieldValue("Flag");
    EXPECT_EQ(v.vt, VT_BOOL);
    EXPECT_EQ(v.boolVal, VARIANT_TRUE);
    EXPECT_EQ(rs.GetFieldValue("b").vt, VT_UI1);
    EXPECT_EQ(rs.GetFieldValue("B").bVal, 200);
    EXPECT_EQ(rs.GetFieldValue("S").iVal, -5);
    v = rs.GetFieldValue("Cost");
    EXPECT_EQ(v.vt, VT_CY);
    EXPECT_EQ(v.cyVal.int64, 123456);
    EXPECT_EQ(rs.GetFieldValue("F").vt, VT_R4);
    EXPECT_EQ(rs.GetFieldValue("D").dblVal, 2.25);
    v = rs.GetFieldValue("Day");
    ASSERT_EQ(v.vt, VT_DATE);
    EXPECT_EQ(COleDateTime(v.date).Format("%Y-%m-%d %H:%M:%S"), "2000-03-01 00:00:00");
    EXPECT_EQ(Text(rs, "Name"), "Ann");
    v = rs.GetFieldValue("Raw");
    ASSERT_EQ(v.vt, VT_ARRAY | VT_UI1);
    CByteArray bytes;
    v.GetByteArray(bytes);
    ASSERT_EQ(bytes.GetSize(), 2);
    EXPECT_EQ(bytes[1], 0xFF);

    rs.MoveNext();
    EXPECT_EQ(rs.GetFieldValue("Flag").boolVal, VARIANT_FALSE);
    EXPECT_EQ(rs.GetFieldValue("Cost").cyVal.int64, 70000); // a whole amount stored as an integer
    EXPECT_EQ(COleDateTime(rs.GetFieldValue("Day").date).Format("%Y-%m-%d %H:%M:%S"),
              "2021-12-31 23:59:58");
    EXPECT_EQ(rs.GetFieldValue("Name").vt, VT_BSTR); // a zero-length string is not Null
    EXPECT_EQ(rs.GetFieldValue("Note").vt, VT_NULL);
    rs.MoveNext();
    EXPECT_EQ(rs.GetFieldValue("Flag").boolVal, VARIANT_TRUE); // any non-zero reads as true
    for (int i = 2; i < rs.GetFieldCount(); ++i)
        EXPECT_EQ(rs.GetFieldValue(i).vt, VT_NULL) << i;
    EXPECT_EQ(CodeOf([&] { rs.GetFieldValue("Nope"); }), 3265);
    EXPECT_EQ(CodeOf([&] { rs.GetFieldValue(11); }), 3265);
}

TEST_P(Fields, ExpressionsTakeNameAndTypeFromTheirValues) {
    std::string path = LoadSample(50);
    CDaoDatabase db;
    db.Open(path.c_str());
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT OrderID, Quantity * 2, Customer & \"!\", Amount AS Total, "
                           "1.5, 5000000000, [Picture] FROM Orders");
    struct Expect {
        const char* name;
        short type;
    } expected[] = {{"OrderID", dbLong},      {"Expr1000", dbLong},   {"Expr1001", dbText},
                    {"Total", dbCurrency},    {"Expr1002", dbDouble}, {"Expr1003", dbDouble},
                    {"Picture", dbLongBinary}};
    for (int i = 0; i < 7; ++i) {
        CDaoFieldInfo info;
        rs.GetFieldInfo(i, info, AFX_DAO_ALL_INFO);
        EXPECT_EQ(info.m_strName, expected[i].name);
        EXPECT_EQ(info.m_nType, expected[i].type) << expected[i].name;
        EXPECT_EQ(info.m_nOrdinalPosition, i);
        // Only columns of the table can be written.
        bool column = i == 0 || i == 3 || i == 6;
        EXPECT_EQ((info.m_lAttributes & dbUpdatableField) != 0, column) << expected[i].name;
    }
    COleVariant joined = rs.GetFieldValue("Expr1001");
    EXPECT_EQ(std::string(V_BSTRT(&joined)).back(), '!');
    EXPECT_EQ(rs.GetFieldValue(5).dblVal, 5000000000.0);
    rs.Edit();
    EXPECT_EQ(CodeOf([&] { rs.SetFieldValue(1, COleVariant(3L)); }), 3164);
    rs.CancelUpdate();

    CDaoRecordset join(&db);
    join.Open(dbOpenDynaset, "SELECT * FROM Orders INNER JOIN Customers "
                             "ON Orders.CustomerID = Customers.CustomerID");
    CDaoFieldInfo info;
    join.GetFieldInfo(2, info, AFX_DAO_SECONDARY_INFO);
    EXPECT_EQ(info.m_strName, "Orders.City");
    EXPECT_EQ(info.m_strSourceTable, "Orders");
    EXPECT_EQ(info.m_strSourceField, "City");
    join.GetFieldInfo("Customers.City", info);
    EXPECT_EQ(info.m_nType, dbText);
    EXPECT_EQ(info.m_lSize, 30);
    join.GetFieldInfo(1, info);
    EXPECT_EQ(info.m_strName, "Customer"); // a name only one table has stays plain
    EXPECT_FALSE(join.CanUpdate());
    EXPECT_EQ(CodeOf([&] { join.Edit(); }), 3027);
}

TEST_P(Fields, RequiredDefaultsAndIndexesOfATable) {
    std::string path = LoadSample(50);
    CDaoDatabase db;
    db.Open(path.c_str());
    CDaoRecordset rs(&db);
    rs.Open(dbOpenTable, "Orders");
    CDaoFieldInfo info;
    rs.GetFieldInfo("Customer", info, AFX_DAO_SECONDARY_INFO);
    EXPECT_TRUE(info.m_bRequired);
    EXPECT_TRUE(info.m_bAllowZeroLength);
    rs.GetFieldInfo("Shipped", info, AFX_DAO_ALL_INFO);
    EXPECT_TRUE(info.m_bRequired);
    // The default as the engine keeps it, which the engine evaluates for AddNew.
    EXPECT_EQ(info.m_strDefaultValue, IsServer() ? "false" : "0");

    ASSERT_EQ(rs.GetIndexCount(), 3);
    CDaoIndexInfo index;
    rs.GetIndexInfo(0, index, AFX_DAO_SECONDARY_INFO);
    EXPECT_TRUE(index.m_bPrimary);
    EXPECT_TRUE(index.m_bUnique);
    ASSERT_EQ(index.m_nFields, 1);
    EXPECT_EQ(index.m_pFieldInfos[0].m_strName, "OrderID");
    CDaoIndexInfo copy = index; // a copy owns its field list
    index = CDaoIndexInfo();
    EXPECT_EQ(copy.m_pFieldInfos[0].m_strName, "OrderID");
    rs.GetIndexInfo("OrdersByCustomer", index, AFX_DAO_ALL_INFO);
    EXPECT_FALSE(index.m_bPrimary);
    EXPECT_EQ(index.m_pFieldInfos[0].m_strName, "Customer");
    EXPECT_GT(index.m_lDistinctCount, 1);
    EXPECT_EQ(CodeOf([&] { rs.GetIndexInfo(3, index); }), 3265);

    CDaoRecordset dynaset(&db);
    dynaset.Open(dbOpenDynaset, "Orders");
    EXPECT_EQ(CodeOf([&] { dynaset.GetIndexCount(); }), 3251);
    EXPECT_EQ(dynaset.GetType(), dbOpenDynaset);
    EXPECT_EQ(CodeOf([&] {
                  CDaoRecordset view(&db);
                  view.Open(dbOpenTable, "OrderDetails");
              }),
              3219);
}

// What the engine says of a table's indexes and computed fields reaches the field and index
// information: a descending part, an expression part left out, a generated field read-only.
TEST_P(Fields, DescendingIndexPartsAndGeneratedFields) {
    const std::string path =
        MakeDatabase("CREATE TABLE P (ID INTEGER PRIMARY KEY, Price INTEGER, Name TEXT, "
                     "Doubled INTEGER GENERATED ALWAYS AS (Price * 2) STORED);"
                     "CREATE INDEX ByPrice ON P (Price DESC, Name);"
                     "CREATE INDEX ByLower ON P ((lower(Name)), ID DESC);"
                     "INSERT INTO P (ID, Price, Name) VALUES (1, 5, 'a');");
    CDaoDatabase db;
    db.Open(path.c_str());
    CDaoRecordset rs(&db);
    rs.Open(dbOpenTable, "P");
    CDaoIndexInfo index;
    rs.GetIndexInfo("ByPrice", index, AFX_DAO_SECONDARY_INFO);
    ASSERT_EQ(index.m_nFields, 2);
    EXPECT_EQ(index.m_pFieldInfos[0].m_strName, "Price");
    EXPECT_TRUE(index.m_pFieldInfos[0].m_bDescending);
    EXPECT_FALSE(index.m_pFieldInfos[1].m_bDescending);
    if (!IsServer()) { // a server shows no index with an expression
        rs.GetIndexInfo("ByLower", index, AFX_DAO_SECONDARY_INFO);
        ASSERT_EQ(index.m_nFields, 1);
        EXPECT_EQ(index.m_pFieldInfos[0].m_strName, "ID");
        EXPECT_TRUE(index.m_pFieldInfos[0].m_bDescending);
    }

    CDaoFieldInfo info;
    rs.GetFieldInfo("Doubled", info);
    EXPECT_EQ(info.m_lAttributes & dbUpdatableField, 0);
    rs.GetFieldInfo("Price", info);
    EXPECT_NE(info.m_lAttributes & dbUpdatableField, 0);
    rs.Edit();
    rs.SetFieldValue("Price", COleVariant(7L));
    rs.Update();
    rs.Requery();
    EXPECT_EQ(rs.GetFieldValue("Doubled").lVal, 14);
}

// A Yes/No field is -1 or 0 in a comparison with a number, in a statement, a filter and a
// Find alike, and orders Yes before No; a comparison with a date is a type mismatch or no match.
TEST_P(Fields, YesNoFieldsCompareAsNumbers) {
    const std::string path = LoadSample(50);
    CDaoDatabase db;
    db.Open(path.c_str());
    auto count = [&](const char* where, const char* filter = nullptr) {
        CDaoRecordset rs(&db);
        if (filter)
            rs.m_strFilter = filter;
        rs.Open(dbOpenDynaset, (std::string("SELECT * FROM Orders") + where).c_str());
        long n = 0;
        for (; !rs.IsEOF(); rs.MoveNext())
            ++n;
        return n;
    };
    const long shipped = count(" WHERE Shipped = True"), all = count("");
    ASSERT_GT(shipped, 0);
    ASSERT_LT(shipped, all);
    EXPECT_EQ(count(" WHERE Shipped = -1"), shipped);
    EXPECT_EQ(count(" WHERE [Shipped] < 0"), shipped);
    EXPECT_EQ(count("", "Shipped <> 0"), shipped);
    EXPECT_EQ(count("", "Shipped = 1"), 0);
    EXPECT_EQ(count(" WHERE Shipped >= True"), all);
    EXPECT_EQ(count(" WHERE Shipped > True"), all - shipped);
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT OrderID, Shipped FROM Orders ORDER BY OrderID");
    ASSERT_TRUE(rs.FindFirst("Shipped = -1"));
    EXPECT_EQ(rs.GetFieldValue("Shipped").boolVal, VARIANT_TRUE);
    ASSERT_TRUE(rs.FindNext("Shipped >= 0"));
    EXPECT_EQ(rs.GetFieldValue("Shipped").boolVal, VARIANT_FALSE);
    if (IsServer()) {
        const DaoError e = ErrorOf([&] { count(" WHERE Shipped = #1/1/2000#"); });
        EXPECT_EQ(e.code, 3464);
        EXPECT_EQ(e.description, "Data type mismatch in criteria expression.");
    } else {
        EXPECT_EQ(count(" WHERE Shipped = #1/1/2000#"), 0);
    }
}

// Numbers written to a Yes/No field by a statement, and a range of numbers over one, as Jet
// takes them on either engine.
TEST_P(Fields, YesNoFieldsTakeNumbersInStatements) {
    const std::string path =
        MakeDatabase("CREATE TABLE F (ID INTEGER PRIMARY KEY, Done BOOLEAN NOT NULL, N INTEGER);"
                     // a namesake of another type in a table the statements do not name
                     "CREATE TABLE G (ID INTEGER PRIMARY KEY, Done TEXT);");
    CDaoDatabase db;
    db.Open(path.c_str());
    db.Execute("INSERT INTO F (ID, Done, N) VALUES (1, -1, -1), (2, 0, 0)");
    db.Execute("UPDATE F SET N = 1, Done = 0 WHERE ID = 1");
    db.Execute("UPDATE F SET Done = -1 WHERE ID = 2");
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT * FROM F ORDER BY ID");
    EXPECT_EQ(rs.GetFieldValue("Done").boolVal, VARIANT_FALSE);
    EXPECT_EQ(rs.GetFieldValue("N").lVal, 1);
    rs.MoveNext();
    EXPECT_EQ(rs.GetFieldValue("Done").boolVal, VARIANT_TRUE);
    EXPECT_EQ(rs.GetFieldValue("N").lVal, 0);
    auto count = [&](const char* where) {
        CDaoRecordset r(&db);
        r.Open(dbOpenSnapshot, (std::string("SELECT * FROM F WHERE ") + where).c_str());
        long n = 0;
        for (; !r.IsEOF(); r.MoveNext())
            ++n;
        return n;
    };
    EXPECT_EQ(count("Done BETWEEN -1 AND 0"), 2);
    EXPECT_EQ(count("Done NOT BETWEEN -1 AND -1"), 1);
    EXPECT_EQ(count("Done BETWEEN 1 AND 2"), 0);
}

// A value that does not fit its column's declared type reads as it is stored, not converted to
// a wrong number or date: all 64 bits of an integer, a fraction in an integer column, a number
// in a date column (dates are kept as text).
TEST_P(FieldsStorage, ValuesThatDoNotFitTheirTypeReadAsStored) {
    std::string path = MakeDatabase(
        "CREATE TABLE T (ID INTEGER PRIMARY KEY, Big INTEGER, N SMALLINT, Day DATE, D NUMERIC);"
        "INSERT INTO T VALUES (1, 13350000000000001, 4.25, '1999', 9007199254740993);"
        "INSERT INTO T VALUES (2, -9223372036854775807 - 1, 4.0, 45000.5, 9007199254740992);");
    CDaoDatabase db;
    db.Open(path.c_str());
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT * FROM T");
    COleVariant v = rs.GetFieldValue("Big");
    ASSERT_EQ(v.vt, VT_I8);
    EXPECT_EQ(v.llVal, 13350000000000001LL);
    v = rs.GetFieldValue("N");
    ASSERT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 4.25);
    v = rs.GetFieldValue("Day");
    ASSERT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 1999);
    v = rs.GetFieldValue("D");
    ASSERT_EQ(v.vt, VT_I8);
    EXPECT_EQ(v.llVal, 9007199254740993LL);
    rs.MoveNext();
    EXPECT_EQ(rs.GetFieldValue("Big").llVal, std::numeric_limits<std::int64_t>::min());
    v = rs.GetFieldValue("N");
    EXPECT_EQ(v.vt, VT_I2); // a whole number stored as a real still fits
    EXPECT_EQ(v.iVal, 4);
    EXPECT_EQ(rs.GetFieldValue("Day").vt, VT_R8);
    v = rs.GetFieldValue("D");
    EXPECT_EQ(v.vt, VT_R8); // 2^53 is exact in a double
    EXPECT_EQ(v.dblVal, 9007199254740992.0);
}

KEL_BOTH_ENGINES(Fields);
KEL_SQLITE_ONLY(FieldsStorage);
