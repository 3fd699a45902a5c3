#include "platform/core/Object.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::vector<const CRuntimeClass*>& ClassList() {
    static std::vector<const CRuntimeClass*> list;
    return list;
}

} // namespace

const CRuntimeClass CObject::classCObject = {"CObject", (int)sizeof(CObject), 0xFFFF, NULL, NULL};
static const AFX_CLASSINIT _init_CObject(&CObject::classCObject);

const CRuntimeClass* CObject::GetRuntimeClass() const {
    return &CObject::classCObject;
}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const {
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

AFX_CLASSINIT::AFX_CLASSINIT(const CRuntimeClass* pNewClass) {
    ClassList().push_back(pNewClass);
}

CObject* CRuntimeClass::CreateObject() const {
    if (m_pfnCreateObject == NULL)
        return NULL;
    return (*m_pfnCreateObject)();
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
    for (const CRuntimeClass* p = this; p != NULL; p = p->m_pBaseClass) {
        if (p == pBaseClass)
            return TRUE;
    }
    return FALSE;
}

const CRuntimeClass* CRuntimeClass::FromName(LPCSTR lpszClassName) {
    if (!lpszClassName)
        return NULL;
    for (const CRuntimeClass* p : ClassList()) {
        if (std::strcmp(p->m_lpszClassName, lpszClassName) == 0)
            return p;
    }
    return NULL;
}

void AfxAssertFailed(const char* file, int line, const char* expr) {
    std::fprintf(stderr, "%s:%d: assertion failed: %s\n", file, line, expr);
    std::abort();
}
