// CObject and run-time class information: DECLARE_DYNAMIC / DYNCREATE and friends.
#pragma once

#include "platform/core/Types.h"

class CObject;

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    // A new object of the class, or NULL when the class is not dynamically creatable.
    CObject* CreateObject() const;
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

    // A class declared with IMPLEMENT_DYNAMIC/DYNCREATE, found by name; NULL if unknown.
    static const CRuntimeClass* FromName(LPCSTR lpszClassName);
};

// Links each class's information into the list FromName searches.
struct AFX_CLASSINIT {
    explicit AFX_CLASSINIT(const CRuntimeClass* pNewClass);
};

class CObject {
public:
    static const CRuntimeClass classCObject;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;

    BOOL IsKindOf(const CRuntimeClass* pClass) const;
    BOOL IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }
    virtual void AssertValid() const {}

protected:
    CObject() = default;
    // Copying is for derived value types (arrays, records); a bare CObject is not copied.
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(class_name) (const_cast<CRuntimeClass*>(&class_name::class##class_name))

#define DECLARE_DYNAMIC(class_name)                                                                \
public:                                                                                            \
    static const CRuntimeClass class##class_name;                                                  \
    virtual const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name)                                                              \
    DECLARE_DYNAMIC(class_name)                                                                    \
    static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) DECLARE_DYNCREATE(class_name)

#define KEL_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew)                   \
    const CRuntimeClass class_name::class##class_name = {#class_name,                              \
                                                         (int)sizeof(class class_name), wSchema,   \
                                                         pfnNew, RUNTIME_CLASS(base_class_name)};  \
    static const AFX_CLASSINIT _init_##class_name(&class_name::class##class_name);                 \
    const CRuntimeClass* class_name::GetRuntimeClass() const {                                     \
        return RUNTIME_CLASS(class_name);                                                          \
    }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                             \
    KEL_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, NULL)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                                           \
    CObject* class_name::CreateObject() {                                                          \
        return new class_name;                                                                     \
    }                                                                                              \
    KEL_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)                                     \
    CObject* class_name::CreateObject() {                                                          \
        return new class_name;                                                                     \
    }                                                                                              \
    KEL_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject)

// The framework's cast that answers NULL when the object is not of the class. The object is
// evaluated once: callers pass calls such as GetDlgItem(nID) or AfxGetMainWnd().
template <class T, class U> inline T* KelDynamicDowncast(const CRuntimeClass* pClass, U* pObject) {
    return pObject != NULL && pObject->IsKindOf(pClass) ? static_cast<T*>(pObject) : NULL;
}
#define DYNAMIC_DOWNCAST(class_name, object)                                                       \
    (KelDynamicDowncast<class_name>(RUNTIME_CLASS(class_name), (object)))
#define STATIC_DOWNCAST(class_name, object) (static_cast<class_name*>(object))
