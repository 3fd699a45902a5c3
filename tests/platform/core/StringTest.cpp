#include <afx.h>

#include <gtest/gtest.h>

TEST(CStringFormat, PrintfSemantics) {
    CString s;
    s.Format("%04d", -1);
    EXPECT_EQ(s, "-001");
    s.Format("%d|%ld|%u|%x|%X|%c|%s|%%", -5, 123456789L, 7u, 255, 255, 'q', "txt");
    EXPECT_EQ(s, "-5|123456789|7|ff|FF|q|txt|%");
    s.Format("%f %.2f %g %g", 1.5, 2.345, 0.0001, 1e20);
    EXPECT_EQ(s, "1.500000 2.35 0.0001 1e+20");
    s.Format("%-4s|%4s|", "ab", "cd");
    EXPECT_EQ(s, "ab  |  cd|");
}

TEST(CStringFormat, LongOutputAndAppend) {
    CString big(std::string(5000, 'x'));
    CString s;
    s.Format("[%s]", static_cast<LPCTSTR>(big));
    EXPECT_EQ(s.GetLength(), 5002);
    s.Format("%d", 1);
    s.AppendFormat(" %s", "two");
    s.AppendFormat("%c", '!');
    EXPECT_EQ(s, "1 two!");
}

TEST(CStringFormat, OwnTextAsArgument) {
    // Both lengths live on the heap, where growing the buffer would free the argument.
    for (size_t n : {40, 300}) {
        const std::string x(n, 'x');
        CString s(x);
        s.AppendFormat("|%s", static_cast<LPCTSTR>(s));
        EXPECT_EQ(s.str(), x + "|" + x);
        s.Format("<%s>", static_cast<LPCTSTR>(s));
        EXPECT_EQ(s.str(), "<" + x + "|" + x + ">");
    }
}

TEST(CStringExtract, ClampsLikeTheFramework) {
    CString s("Hello");
    EXPECT_EQ(s.Mid(1, 3), "ell");
    EXPECT_EQ(s.Mid(3), "lo");
    EXPECT_EQ(s.Mid(10), "");
    EXPECT_EQ(s.Mid(-2, 3), "Hel");
    EXPECT_EQ(s.Mid(2, 100), "llo");
    EXPECT_EQ(s.Left(0), "");
    EXPECT_EQ(s.Left(-1), "");
    EXPECT_EQ(s.Left(9), "Hello");
    EXPECT_EQ(s.Right(2), "lo");
    EXPECT_EQ(s.Right(9), "Hello");
}

TEST(CStringSearch, FindFamily) {
    CString s("a.b.c");
    EXPECT_EQ(s.Find('.'), 1);
    EXPECT_EQ(s.Find('.', 2), 3);
    EXPECT_EQ(s.Find('.', 4), -1);
    EXPECT_EQ(s.Find('.', 99), -1);
    EXPECT_EQ(s.Find("b.c"), 2);
    EXPECT_EQ(s.Find(""), 0);
    EXPECT_EQ(s.ReverseFind('.'), 3);
    EXPECT_EQ(s.ReverseFind('z'), -1);
    EXPECT_EQ(s.FindOneOf("xc."), 1);
    EXPECT_EQ(s.FindOneOf("xyz"), -1);
}

TEST(CStringEdit, ReplaceRemoveInsertDelete) {
    CString s("aaa");
    EXPECT_EQ(s.Replace("aa", "b"), 1); // non-overlapping, left to right
    EXPECT_EQ(s, "ba");
    s = "x,y,,z";
    EXPECT_EQ(s.Replace(",", ", "), 3);
    EXPECT_EQ(s, "x, y, , z");
    EXPECT_EQ(s.Replace("", "q"), 0);
    EXPECT_EQ(s.Remove(' '), 3);
    EXPECT_EQ(s, "x,y,,z");
    EXPECT_EQ(s.Replace(',', ';'), 3);
    EXPECT_EQ(s.Insert(100, "!"), 7); // past the end appends
    EXPECT_EQ(s, "x;y;;z!");
    EXPECT_EQ(s.Insert(0, '>'), 8);
    EXPECT_EQ(s.Delete(1, 2), 6);
    EXPECT_EQ(s, ">y;;z!");
    EXPECT_EQ(s.Delete(4, 100), 4);
    EXPECT_EQ(s, ">y;;");
    EXPECT_EQ(s.Delete(50), 4);
}

TEST(CStringEdit, TrimAndCase) {
    CString s("  \tMixed Case\n ");
    s.Trim();
    EXPECT_EQ(s, "Mixed Case");
    s = "xxabcxx";
    s.Trim('x');
    EXPECT_EQ(s, "abc");
    s = "[{abc}]";
    s.TrimLeft("[{");
    EXPECT_EQ(s, "abc}]");
    s.TrimRight("]}");
    EXPECT_EQ(s, "abc");
    s.MakeUpper();
    EXPECT_EQ(s, "ABC");
    EXPECT_EQ(CString("MiXeD").MakeLower(), "mixed");
}

TEST(CStringCompare, CaseRules) {
    CString s("abc");
    EXPECT_EQ(s.Compare("abc"), 0);
    EXPECT_LT(s.Compare("abd"), 0);
    EXPECT_GT(s.Compare("ABC"), 0); // byte order: lower case sorts after upper
    EXPECT_EQ(s.CompareNoCase("ABC"), 0);
    EXPECT_LT(s.CompareNoCase("ABD"), 0);
    EXPECT_TRUE(s == "abc");
    EXPECT_TRUE("abc" == s);
    EXPECT_TRUE(s != CString("ABC"));
    EXPECT_TRUE(CString("a") < CString("b"));
    EXPECT_TRUE(s + "d" == "abcd");
    EXPECT_TRUE('>' + s + '<' == ">abc<");
}

TEST(CStringBuffer, GetAndReleaseBuffer) {
    CString s("ab");
    char* p = s.GetBuffer(10);
    std::strcpy(p, "hello");
    s.ReleaseBuffer();
    EXPECT_EQ(s, "hello");
    EXPECT_EQ(s.GetLength(), 5);
    p = s.GetBuffer(0);
    p[2] = '\0';
    s.ReleaseBuffer(-1);
    EXPECT_EQ(s, "he");
    p = s.GetBufferSetLength(4);
    std::memcpy(p, "wxyz", 4);
    s.ReleaseBuffer(3);
    EXPECT_EQ(s, "wxy");
}

TEST(CStringAccess, IndexingAndTokenize) {
    CString s("abc");
    EXPECT_EQ(s[1], 'b');
    s.SetAt(1, 'X');
    EXPECT_EQ(s, "aXc");
    LPCTSTR raw = s;
    EXPECT_STREQ(raw, "aXc");
    CString list("one~two~~three");
    int pos = 0;
    EXPECT_EQ(list.Tokenize("~", pos), "one");
    EXPECT_EQ(list.Tokenize("~", pos), "two");
    EXPECT_EQ(list.Tokenize("~", pos), "three");
    EXPECT_EQ(list.Tokenize("~", pos), "");
    EXPECT_EQ(pos, -1);
    CString nul(static_cast<LPCTSTR>(nullptr));
    EXPECT_TRUE(nul.IsEmpty());
}
