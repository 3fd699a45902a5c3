#include <afx.h>

#include <gtest/gtest.h>

class CBaseThing : public CObject {
    DECLARE_DYNCREATE(CBaseThing)
public:
    virtual int Kind() const { return 1; }
};

class CDerivedThing : public CBaseThing {
    DECLARE_DYNCREATE(CDerivedThing)
public:
    int Kind() const override { return 2; }
    static int destroyed;
    ~CDerivedThing() override { ++destroyed; }
};
int CDerivedThing::destroyed = 0;

class CAbstractOnly : public CObject {
    DECLARE_DYNAMIC(CAbstractOnly)
};

IMPLEMENT_DYNCREATE(CBaseThing, CObject)
IMPLEMENT_DYNCREATE(CDerivedThing, CBaseThing)
IMPLEMENT_DYNAMIC(CAbstractOnly, CObject)

TEST(CRuntimeClassTest, CreatesTheDerivedClassThroughABasePointer) {
    // A host hands the library a class derived from the one it expects.
    CRuntimeClass* pClass = RUNTIME_CLASS(CDerivedThing);
    CObject* pObject = pClass->CreateObject();
    ASSERT_NE(pObject, nullptr);
    auto* pBase = DYNAMIC_DOWNCAST(CBaseThing, pObject);
    ASSERT_NE(pBase, nullptr);
    EXPECT_EQ(pBase->Kind(), 2);
    EXPECT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CBaseThing)));
    EXPECT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(pObject->IsKindOf(RUNTIME_CLASS(CAbstractOnly)));
    EXPECT_STREQ(pObject->GetRuntimeClass()->m_lpszClassName, "CDerivedThing");
    EXPECT_EQ(pObject->GetRuntimeClass()->m_nObjectSize, (int)sizeof(CDerivedThing));
    CDerivedThing::destroyed = 0;
    delete pObject; // virtual destructor through CObject
    EXPECT_EQ(CDerivedThing::destroyed, 1);
}

TEST(CRuntimeClassTest, NotCreatableAndLookupByName) {
    EXPECT_EQ(RUNTIME_CLASS(CAbstractOnly)->CreateObject(), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName("CBaseThing"), RUNTIME_CLASS(CBaseThing));
    EXPECT_EQ(CRuntimeClass::FromName("NoSuchClass"), nullptr);
    EXPECT_TRUE(RUNTIME_CLASS(CDerivedThing)->IsDerivedFrom(RUNTIME_CLASS(CBaseThing)));
    EXPECT_FALSE(RUNTIME_CLASS(CBaseThing)->IsDerivedFrom(RUNTIME_CLASS(CDerivedThing)));
    CObject* none = nullptr;
    EXPECT_EQ(DYNAMIC_DOWNCAST(CBaseThing, none), nullptr);
}

// The cast takes its object once, whatever it answers: a call passed to it runs once.
TEST(CRuntimeClassTest, DowncastEvaluatesItsObjectOnce) {
    CDerivedThing derived;
    CBaseThing base;
    int nCalls = 0;
    auto fetch = [&](CObject* p) {
        ++nCalls;
        return p;
    };
    EXPECT_EQ(DYNAMIC_DOWNCAST(CDerivedThing, fetch(&derived)), &derived);
    EXPECT_EQ(nCalls, 1);
    EXPECT_EQ(DYNAMIC_DOWNCAST(CDerivedThing, fetch(&base)), nullptr);
    EXPECT_EQ(nCalls, 2);
    EXPECT_EQ(DYNAMIC_DOWNCAST(CDerivedThing, fetch(nullptr)), nullptr);
    EXPECT_EQ(nCalls, 3);
}

TEST(CExceptionTest, ThrownAsPointersAndDeletedByTheCatcher) {
    int caught = 0;
    try {
        AfxThrowNotSupportedException();
    } catch (CException* e) {
        char text[64];
        EXPECT_TRUE(e->GetErrorMessage(text, sizeof text));
        EXPECT_STREQ(text, "Unsupported operation was attempted.");
        EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CNotSupportedException)));
        e->Delete();
        ++caught;
    }
    EXPECT_EQ(caught, 1);
    // An exception that is not auto-deleted survives Delete (it lives on the stack).
    CException local(FALSE);
    local.Delete();
}
