// Documents: title, modified flag, views, and serialization through CArchive.
#include "WinTest.h"

#include <cstdio>
#include <filesystem>

namespace {

class CNotesDoc : public CDocument {
public:
    CStringArray m_lines;
    int m_nDeletes = 0;
    void DeleteContents() override {
        ++m_nDeletes;
        m_lines.RemoveAll();
    }
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring()) {
            ar << static_cast<DWORD>(m_lines.GetSize());
            for (INT_PTR i = 0; i < m_lines.GetSize(); ++i)
                ar << m_lines[i];
        } else {
            DWORD n = 0;
            ar >> n;
            for (DWORD i = 0; i < n; ++i) {
                CString s;
                ar >> s;
                m_lines.Add(s);
            }
        }
    }
};

class CCountingView : public CView {
public:
    int m_nUpdates = 0;
    LPARAM m_lastHint = 0;
    void OnDraw(CDC*) override {}
    void OnUpdate(CView*, LPARAM lHint, CObject*) override {
        ++m_nUpdates;
        m_lastHint = lHint;
    }
};

std::string TempPath(const char* name) {
    std::filesystem::create_directories(KEL_TEST_DATA_DIR);
    return std::string(KEL_TEST_DATA_DIR) + "/" + name;
}

using DocumentTest = WinTest;

TEST_F(DocumentTest, TitleAndModifiedFlag) {
    CNotesDoc doc;
    doc.m_bAutoDelete = FALSE;
    EXPECT_TRUE(doc.GetTitle().IsEmpty());
    doc.SetTitle("Orders");
    EXPECT_STREQ("Orders", doc.GetTitle());
    EXPECT_FALSE(doc.IsModified());
    doc.SetModifiedFlag();
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(doc.OnNewDocument());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(1, doc.m_nDeletes);
}

TEST_F(DocumentTest, ViewsAreListedAndUpdatedExceptTheSender) {
    CNotesDoc doc;
    doc.m_bAutoDelete = FALSE;
    CCountingView* a = new CCountingView;
    CCountingView* b = new CCountingView;
    doc.AddView(a);
    doc.AddView(b);
    doc.AddView(a); // once only
    EXPECT_EQ(&doc, a->GetDocument());

    std::vector<CView*> seen;
    POSITION pos = doc.GetFirstViewPosition();
    while (pos != nullptr)
        seen.push_back(doc.GetNextView(pos));
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ(a, seen[0]);
    EXPECT_EQ(b, seen[1]);

    doc.UpdateAllViews(a, 42);
    EXPECT_EQ(0, a->m_nUpdates);
    EXPECT_EQ(1, b->m_nUpdates);
    EXPECT_EQ(42, b->m_lastHint);

    delete a; // a view going leaves the document's list
    pos = doc.GetFirstViewPosition();
    EXPECT_EQ(b, doc.GetNextView(pos));
    EXPECT_EQ(nullptr, pos);
    delete b;
    EXPECT_EQ(nullptr, doc.GetFirstViewPosition());
}

TEST_F(DocumentTest, AutoDeleteDocumentGoesWithItsLastView) {
    struct CGoneDoc : CNotesDoc {
        bool* pGone = nullptr;
        ~CGoneDoc() override { *pGone = true; }
    };
    bool gone = false;
    auto* doc = new CGoneDoc; // m_bAutoDelete by default
    doc->pGone = &gone;
    auto* first = new CCountingView;
    auto* second = new CCountingView;
    doc->AddView(first);
    doc->AddView(second);
    delete first;
    EXPECT_FALSE(gone); // a view is still showing it
    delete second;
    EXPECT_TRUE(gone);
}

TEST_F(DocumentTest, SavesAndOpensThroughSerialize) {
    const std::string path = TempPath("notes.doc");
    {
        CNotesDoc doc;
        doc.m_bAutoDelete = FALSE;
        doc.m_lines.Add("first");
        doc.m_lines.Add(CString('x', 300)); // a long string takes the longer length prefix
        doc.SetModifiedFlag();
        ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
        EXPECT_FALSE(doc.IsModified());
    }
    CNotesDoc doc;
    doc.m_bAutoDelete = FALSE;
    doc.m_lines.Add("stale");
    ASSERT_TRUE(doc.OnOpenDocument(path.c_str()));
    ASSERT_EQ(2, doc.m_lines.GetSize());
    EXPECT_STREQ("first", doc.m_lines[0]);
    EXPECT_EQ(300, doc.m_lines[1].GetLength());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(KelGetMessageBoxes().empty());
}

TEST_F(DocumentTest, OpenFailuresAreReportedOnceAndLeaveTheDocumentEmpty) {
    CNotesDoc doc;
    doc.m_bAutoDelete = FALSE;
    EXPECT_FALSE(doc.OnOpenDocument(TempPath("missing.doc").c_str()));
    ASSERT_EQ(1u, KelGetMessageBoxes().size());
    EXPECT_NE(-1, KelGetMessageBoxes()[0].strText.Find("missing.doc"));

    // A damaged file: the count promises more than there is.
    const std::string path = TempPath("damaged.doc");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    const unsigned char bytes[] = {5, 0, 0, 0, 3, 'a', 'b'};
    std::fwrite(bytes, 1, sizeof bytes, f);
    std::fclose(f);
    doc.m_lines.Add("keep?");
    KelClearMessageBoxes();
    EXPECT_FALSE(doc.OnOpenDocument(path.c_str()));
    EXPECT_EQ(1u, KelGetMessageBoxes().size());
    EXPECT_EQ(0, doc.m_lines.GetSize());
}

TEST_F(DocumentTest, SaveModifiedAsksAndHonoursTheAnswer) {
    CNotesDoc doc;
    doc.m_bAutoDelete = FALSE;
    doc.SetTitle("Orders");
    EXPECT_TRUE(doc.SaveModified()); // unmodified: no question
    EXPECT_TRUE(KelGetMessageBoxes().empty());
    doc.SetModifiedFlag();
    KelSetMessageBoxAnswer(IDCANCEL);
    EXPECT_FALSE(doc.SaveModified());
    KelSetMessageBoxAnswer(IDNO);
    EXPECT_TRUE(doc.SaveModified());
    ASSERT_EQ(2u, KelGetMessageBoxes().size());
    EXPECT_STREQ("Save changes to Orders?", KelGetMessageBoxes()[0].strText);
}

} // namespace
