// CArray<TYPE, ARG_TYPE> and the typed arrays of the framework.
//
// Elements are real objects: SetSize constructs new elements and destroys dropped ones,
// and copies use the element type's own copy constructor and assignment, so records with
// strings (and arrays of arrays) are safe to keep in them.
#pragma once

#include "platform/core/Object.h"
#include "platform/core/String.h"

#include <utility>
#include <vector>

template <class TYPE, class ARG_TYPE = const TYPE&> class CArray : public CObject {
public:
    CArray() = default;
    CArray(const CArray&) = default;
    CArray(CArray&&) noexcept = default;
    CArray& operator=(const CArray&) = default;
    CArray& operator=(CArray&&) noexcept = default;
    ~CArray() override = default;

    // Size.
    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_data.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    BOOL IsEmpty() const { return m_data.empty(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1) {
        ASSERT(nNewSize >= 0);
        if (nGrowBy > 0)
            m_nGrowBy = nGrowBy;
        if (nNewSize < 0)
            nNewSize = 0;
        Reserve(nNewSize);
        m_data.resize(static_cast<size_t>(nNewSize));
    }
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll() {
        m_data.clear();
        m_data.shrink_to_fit();
    }

    // Element access.
    const TYPE& GetAt(INT_PTR nIndex) const {
        ASSERT(nIndex >= 0 && nIndex < GetSize());
        return m_data[static_cast<size_t>(nIndex)];
    }
    TYPE& GetAt(INT_PTR nIndex) {
        ASSERT(nIndex >= 0 && nIndex < GetSize());
        return m_data[static_cast<size_t>(nIndex)];
    }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement) {
        ASSERT(nIndex >= 0 && nIndex < GetSize());
        m_data[static_cast<size_t>(nIndex)] = std::forward<ARG_TYPE>(newElement);
    }
    TYPE& ElementAt(INT_PTR nIndex) { return GetAt(nIndex); }
    const TYPE& ElementAt(INT_PTR nIndex) const { return GetAt(nIndex); }
    const TYPE* GetData() const { return m_data.empty() ? NULL : m_data.data(); }
    TYPE* GetData() { return m_data.empty() ? NULL : m_data.data(); }
    const TYPE& operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](INT_PTR nIndex) { return GetAt(nIndex); }

    // Growing. An argument passed by value (ARG_TYPE = TYPE, as the row window's rows are) is
    // moved into place; one passed by reference is copied, since it may live inside this array.
    void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement) {
        ASSERT(nIndex >= 0);
        if (nIndex >= GetSize()) {
            TYPE copy(std::forward<ARG_TYPE>(newElement));
            SetSize(nIndex + 1);
            m_data[static_cast<size_t>(nIndex)] = std::move(copy);
            return;
        }
        SetAt(nIndex, std::forward<ARG_TYPE>(newElement));
    }
    INT_PTR Add(ARG_TYPE newElement) {
        TYPE copy(std::forward<ARG_TYPE>(newElement));
        Reserve(GetSize() + 1);
        m_data.push_back(std::move(copy));
        return GetSize() - 1;
    }
    INT_PTR Append(const CArray& src) {
        const INT_PTR nOldSize = GetSize();
        const INT_PTR nCount = src.GetSize(); // src may be this array
        Reserve(nOldSize + nCount);
        for (INT_PTR i = 0; i < nCount; ++i)
            m_data.push_back(src.m_data[static_cast<size_t>(i)]);
        return nOldSize;
    }
    void Copy(const CArray& src) {
        if (&src != this)
            m_data = src.m_data;
    }

    // Inserting and removing shift the elements after the index.
    // Past the end, the gap is filled with new elements.
    void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1) {
        ASSERT(nIndex >= 0 && nCount > 0);
        if (nIndex < 0 || nCount <= 0)
            return;
        TYPE copy(std::forward<ARG_TYPE>(newElement));
        if (nIndex > GetSize())
            SetSize(nIndex);
        Reserve(GetSize() + nCount);
        if (nCount == 1)
            m_data.insert(m_data.begin() + nIndex, std::move(copy));
        else
            m_data.insert(m_data.begin() + nIndex, static_cast<size_t>(nCount), copy);
    }
    void InsertAt(INT_PTR nStartIndex, const CArray* pNewArray) {
        ASSERT(pNewArray != NULL && nStartIndex >= 0);
        if (pNewArray == NULL || pNewArray->GetSize() == 0 || nStartIndex < 0)
            return;
        if (pNewArray == this) {
            const CArray copy(*this);
            InsertAt(nStartIndex, &copy);
            return;
        }
        if (nStartIndex > GetSize())
            SetSize(nStartIndex);
        Reserve(GetSize() + pNewArray->GetSize());
        m_data.insert(m_data.begin() + nStartIndex, pNewArray->m_data.begin(),
                      pNewArray->m_data.end());
    }
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1) {
        ASSERT(nIndex >= 0 && nCount >= 0 && nIndex + nCount <= GetSize());
        if (nIndex < 0 || nCount <= 0 || nIndex >= GetSize())
            return;
        if (nIndex + nCount > GetSize())
            nCount = GetSize() - nIndex;
        m_data.erase(m_data.begin() + nIndex, m_data.begin() + nIndex + nCount);
    }

    // Standard iteration for code inside the library.
    auto begin() { return m_data.begin(); }
    auto end() { return m_data.end(); }
    auto begin() const { return m_data.begin(); }
    auto end() const { return m_data.end(); }

private:
    // Grows by the framework's step (or the one set through SetSize) rather than doubling
    // only, so that a caller's grow-by hint is honoured.
    void Reserve(INT_PTR nSize) {
        if (static_cast<size_t>(nSize) <= m_data.capacity())
            return;
        size_t step = m_nGrowBy > 0 ? static_cast<size_t>(m_nGrowBy) : m_data.size() / 8 + 4;
        size_t want = m_data.capacity() + step;
        if (want < static_cast<size_t>(nSize))
            want = static_cast<size_t>(nSize);
        if (want < m_data.capacity() * 3 / 2)
            want = m_data.capacity() * 3 / 2;
        m_data.reserve(want);
    }

    std::vector<TYPE> m_data;
    INT_PTR m_nGrowBy = -1;
};

class CStringArray : public CArray<CString, const CString&> {
public:
    using CArray::CArray;
    INT_PTR Add(LPCTSTR newElement) { return CArray::Add(CString(newElement)); }
    INT_PTR Add(const CString& newElement) { return CArray::Add(newElement); }
};

class CUIntArray : public CArray<UINT, UINT> {
public:
    using CArray::CArray;
};

class CByteArray : public CArray<BYTE, BYTE> {
public:
    using CArray::CArray;
};

class CWordArray : public CArray<WORD, WORD> {
public:
    using CArray::CArray;
};

class CDWordArray : public CArray<DWORD, DWORD> {
public:
    using CArray::CArray;
};

class CPtrArray : public CArray<void*, void*> {
public:
    using CArray::CArray;
};

class CObArray : public CArray<CObject*, CObject*> {
public:
    using CArray::CArray;
};
