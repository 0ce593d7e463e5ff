#pragma once
// Template collections: CArray, CList, CMap and the typed pointer wrappers, with the element
// helpers (construction, comparison, hashing, archiving) they are built on.
#include "ClArchive.h"
#include "ClException.h"
#include "ClObject.h"
#include "ClString.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

template <class TYPE>
inline void ConstructElements(TYPE* pElements, int nCount)
{
    for (int i = 0; i < nCount; ++i)
        ::new (static_cast<void*>(pElements + i)) TYPE();
}

template <class TYPE>
inline void DestructElements(TYPE* pElements, int nCount)
{
    for (int i = 0; i < nCount; ++i)
        pElements[i].~TYPE();
}

template <class TYPE, class ARG_TYPE>
inline BOOL CompareElements(const TYPE* pElement1, const ARG_TYPE* pElement2)
{
    return *pElement1 == *pElement2;
}

// Default archive form of elements: their bytes as they are in memory.
template <class TYPE>
inline void SerializeElements(CArchive& ar, TYPE* pElements, int nCount)
{
    static_assert(std::is_trivially_copyable<TYPE>::value, "elements need their own SerializeElements");
    if (nCount <= 0)
        return;
    if (ar.IsStoring()) {
        ar.Write(pElements, static_cast<UINT>(nCount) * sizeof(TYPE));
    } else if (ar.Read(pElements, static_cast<UINT>(nCount) * sizeof(TYPE)) != static_cast<UINT>(nCount) * sizeof(TYPE)) {
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    }
}

inline void SerializeElements(CArchive& ar, CString* pElements, int nCount)
{
    for (int i = 0; i < nCount; ++i) {
        if (ar.IsStoring())
            ar << pElements[i];
        else
            ar >> pElements[i];
    }
}

inline void SerializeElements(CArchive& ar, CObject** pElements, int nCount)
{
    for (int i = 0; i < nCount; ++i) {
        if (ar.IsStoring())
            ar << pElements[i];
        else
            ar >> pElements[i];
    }
}

inline UINT HashString(LPCSTR key)
{
    UINT hash = 0;
    if (key)
        while (*key)
            hash = (hash << 5) + hash + static_cast<unsigned char>(*key++);
    return hash;
}

template <class ARG_KEY>
inline UINT HashKey(ARG_KEY key)
{
    if constexpr (std::is_pointer<typename std::decay<ARG_KEY>::type>::value)
        return static_cast<UINT>(reinterpret_cast<ULONG_PTR>(key) >> 4);
    else
        return static_cast<UINT>(key) * 2654435761u;
}
template <> inline UINT HashKey<LPCSTR>(LPCSTR key) { return HashString(key); }
template <> inline UINT HashKey<LPSTR>(LPSTR key) { return HashString(key); }
template <> inline UINT HashKey<const CString&>(const CString& key) { return HashString(key); }
template <> inline UINT HashKey<CString>(CString key) { return HashString(key); }

// ---------------------------------------------------------------------------------------------
// CArray: a growable array. With nGrowBy -1 the array grows by an eighth of its size, at least 4
// and at most 1024 elements at a time.

template <class TYPE, class ARG_TYPE>
class CArray : public CObject
{
public:
    CArray() : m_pData(nullptr), m_nSize(0), m_nMaxSize(0), m_nGrowBy(0) {}
    ~CArray() override { RemoveAll(); }

    int GetSize() const { return m_nSize; }
    int GetCount() const { return m_nSize; }
    BOOL IsEmpty() const { return m_nSize == 0; }
    int GetUpperBound() const { return m_nSize - 1; }

    // Keeps the first elements; new ones are default-constructed.
    void SetSize(int nNewSize, int nGrowBy = -1)
    {
        if (nNewSize < 0)
            AfxThrowInvalidArgException();
        if (nGrowBy >= 0)
            m_nGrowBy = nGrowBy;
        if (nNewSize == 0) {
            RemoveAll();
        } else if (nNewSize <= m_nMaxSize) {
            if (nNewSize > m_nSize)
                ConstructElements<TYPE>(m_pData + m_nSize, nNewSize - m_nSize);
            else if (nNewSize < m_nSize)
                DestructElements<TYPE>(m_pData + nNewSize, m_nSize - nNewSize);
            m_nSize = nNewSize;
        } else {
            int growBy = m_nGrowBy;
            if (growBy == 0)
                growBy = std::min(1024, std::max(4, m_nSize / 8));
            const int newMax = nNewSize < m_nMaxSize + growBy ? m_nMaxSize + growBy : nNewSize;
            Reallocate(newMax);
            ConstructElements<TYPE>(m_pData + m_nSize, nNewSize - m_nSize);
            m_nSize = nNewSize;
        }
    }

    void FreeExtra()
    {
        if (m_nSize != m_nMaxSize)
            Reallocate(m_nSize);
    }

    void RemoveAll()
    {
        if (m_pData) {
            DestructElements<TYPE>(m_pData, m_nSize);
            ::operator delete(static_cast<void*>(m_pData));
        }
        m_pData = nullptr;
        m_nSize = m_nMaxSize = 0;
    }

    TYPE GetAt(int nIndex) const { return m_pData[Checked(nIndex)]; }
    void SetAt(int nIndex, ARG_TYPE newElement) { m_pData[Checked(nIndex)] = newElement; }
    TYPE& ElementAt(int nIndex) { return m_pData[Checked(nIndex)]; }
    const TYPE* GetData() const { return m_pData; }
    TYPE* GetData() { return m_pData; }

    void SetAtGrow(int nIndex, ARG_TYPE newElement)
    {
        if (nIndex < 0)
            AfxThrowInvalidArgException();
        if (nIndex >= m_nSize) {
            TYPE copy(newElement);   // newElement may live inside this array
            SetSize(nIndex + 1);
            m_pData[nIndex] = std::move(copy);
        } else {
            m_pData[nIndex] = newElement;
        }
    }

    int Add(ARG_TYPE newElement)
    {
        const int index = m_nSize;
        SetAtGrow(index, newElement);
        return index;
    }

    int Append(const CArray& src)
    {
        const int oldSize = m_nSize;
        const int count = src.m_nSize;
        SetSize(m_nSize + count);
        for (int i = 0; i < count; ++i)
            m_pData[oldSize + i] = src.m_pData[i];
        return oldSize;
    }

    void Copy(const CArray& src)
    {
        if (this == &src)
            return;
        SetSize(src.m_nSize);
        for (int i = 0; i < m_nSize; ++i)
            m_pData[i] = src.m_pData[i];
    }

    TYPE operator[](int nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](int nIndex) { return ElementAt(nIndex); }

    void InsertAt(int nIndex, ARG_TYPE newElement, int nCount = 1)
    {
        if (nIndex < 0 || nCount < 0 || nCount > INT_MAX - std::max(nIndex, m_nSize))
            AfxThrowInvalidArgException();
        if (nCount == 0)
            return;
        TYPE copy(newElement);
        if (nIndex >= m_nSize) {
            SetSize(nIndex + nCount);
        } else {
            const int oldSize = m_nSize;
            SetSize(m_nSize + nCount);
            std::move_backward(m_pData + nIndex, m_pData + oldSize, m_pData + oldSize + nCount);
        }
        for (int i = 0; i < nCount; ++i)
            m_pData[nIndex + i] = copy;
    }

    void InsertAt(int nStartIndex, CArray* pNewArray)
    {
        if (!pNewArray || nStartIndex < 0)
            AfxThrowInvalidArgException();
        if (pNewArray->GetSize() == 0)
            return;
        CArray copy;
        copy.Copy(*pNewArray);
        InsertAt(nStartIndex, copy.GetAt(0), copy.GetSize());
        for (int i = 0; i < copy.GetSize(); ++i)
            SetAt(nStartIndex + i, copy.GetAt(i));
    }

    void RemoveAt(int nIndex, int nCount = 1)
    {
        if (nIndex < 0 || nCount < 0 || nIndex > m_nSize || nCount > m_nSize - nIndex)
            AfxThrowInvalidArgException();
        std::move(m_pData + nIndex + nCount, m_pData + m_nSize, m_pData + nIndex);
        DestructElements<TYPE>(m_pData + m_nSize - nCount, nCount);
        m_nSize -= nCount;
    }

    void Serialize(CArchive& ar) override
    {
        CObject::Serialize(ar);
        if (ar.IsStoring()) {
            ar.WriteCount(static_cast<DWORD>(m_nSize));
            SerializeElements(ar, m_pData, m_nSize);
            return;
        }
        // The count is not trusted: elements are read in batches of at most 64 KB as they arrive.
        RemoveAll();
        const DWORD batchLimit = static_cast<DWORD>(std::max<size_t>(1, 65536 / sizeof(TYPE)));
        DWORD remaining = ar.ReadCount();
        while (remaining > 0) {
            const int batch = static_cast<int>(std::min<DWORD>(remaining, batchLimit));
            if (m_nSize > INT_MAX - batch)
                AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
            const int at = m_nSize;
            SetSize(at + batch);
            SerializeElements(ar, m_pData + at, batch);
            remaining -= static_cast<DWORD>(batch);
        }
    }

protected:
    int Checked(int nIndex) const
    {
        if (nIndex < 0 || nIndex >= m_nSize)
            AfxThrowInvalidArgException();
        return nIndex;
    }

    void Reallocate(int newMax)
    {
        if (newMax < m_nSize || static_cast<unsigned>(newMax) > 0x7FFFFFFFu / sizeof(TYPE))
            AfxThrowMemoryException();
        TYPE* fresh = static_cast<TYPE*>(::operator new(static_cast<size_t>(newMax) * sizeof(TYPE), std::nothrow));
        if (!fresh && newMax > 0)
            AfxThrowMemoryException();
        for (int i = 0; i < m_nSize; ++i) {
            ::new (static_cast<void*>(fresh + i)) TYPE(std::move(m_pData[i]));
            m_pData[i].~TYPE();
        }
        ::operator delete(static_cast<void*>(m_pData));
        m_pData = fresh;
        m_nMaxSize = newMax;
    }

    TYPE* m_pData;
    int m_nSize;
    int m_nMaxSize;
    int m_nGrowBy;
};

// ---------------------------------------------------------------------------------------------
// CList: a doubly linked list; a POSITION is a node.

template <class TYPE, class ARG_TYPE>
class CList : public CObject
{
protected:
    struct CNode {
        CNode* pNext;
        CNode* pPrev;
        TYPE data;
    };

public:
    explicit CList(int nBlockSize = 10) : m_pNodeHead(nullptr), m_pNodeTail(nullptr), m_nCount(0)
    {
        (void)nBlockSize;
    }
    ~CList() override { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    int GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    TYPE& GetHead() { return NonEmpty(m_pNodeHead)->data; }
    TYPE GetHead() const { return NonEmpty(m_pNodeHead)->data; }
    TYPE& GetTail() { return NonEmpty(m_pNodeTail)->data; }
    TYPE GetTail() const { return NonEmpty(m_pNodeTail)->data; }

    TYPE RemoveHead()
    {
        CNode* node = NonEmpty(m_pNodeHead);
        TYPE value = std::move(node->data);
        Unlink(node);
        return value;
    }
    TYPE RemoveTail()
    {
        CNode* node = NonEmpty(m_pNodeTail);
        TYPE value = std::move(node->data);
        Unlink(node);
        return value;
    }

    POSITION AddHead(ARG_TYPE newElement) { return InsertBefore(Pos(m_pNodeHead), newElement); }
    POSITION AddTail(ARG_TYPE newElement) { return InsertAfter(Pos(m_pNodeTail), newElement); }
    void AddHead(CList* pNewList)
    {
        for (POSITION pos = pNewList->GetTailPosition(); pos;)
            AddHead(pNewList->GetPrev(pos));
    }
    void AddTail(CList* pNewList)
    {
        for (POSITION pos = pNewList->GetHeadPosition(); pos;)
            AddTail(pNewList->GetNext(pos));
    }

    void RemoveAll()
    {
        while (m_pNodeHead) {
            CNode* next = m_pNodeHead->pNext;
            delete m_pNodeHead;
            m_pNodeHead = next;
        }
        m_pNodeTail = nullptr;
        m_nCount = 0;
    }

    POSITION GetHeadPosition() const { return Pos(m_pNodeHead); }
    POSITION GetTailPosition() const { return Pos(m_pNodeTail); }
    TYPE& GetNext(POSITION& rPosition)
    {
        CNode* node = Node(rPosition);
        rPosition = Pos(node->pNext);
        return node->data;
    }
    TYPE GetNext(POSITION& rPosition) const
    {
        CNode* node = Node(rPosition);
        rPosition = Pos(node->pNext);
        return node->data;
    }
    TYPE& GetPrev(POSITION& rPosition)
    {
        CNode* node = Node(rPosition);
        rPosition = Pos(node->pPrev);
        return node->data;
    }
    TYPE GetPrev(POSITION& rPosition) const
    {
        CNode* node = Node(rPosition);
        rPosition = Pos(node->pPrev);
        return node->data;
    }
    TYPE& GetAt(POSITION position) { return Node(position)->data; }
    TYPE GetAt(POSITION position) const { return Node(position)->data; }
    void SetAt(POSITION pos, ARG_TYPE newElement) { Node(pos)->data = newElement; }
    void RemoveAt(POSITION position) { Unlink(Node(position)); }

    // A null position inserts at the head (InsertBefore) or tail (InsertAfter).
    POSITION InsertBefore(POSITION position, ARG_TYPE newElement)
    {
        CNode* before = position ? Node(position) : m_pNodeHead;
        CNode* node = new CNode{before, before ? before->pPrev : m_pNodeTail, TYPE(newElement)};
        Link(node);
        return Pos(node);
    }
    POSITION InsertAfter(POSITION position, ARG_TYPE newElement)
    {
        CNode* after = position ? Node(position) : m_pNodeTail;
        CNode* node = new CNode{after ? after->pNext : m_pNodeHead, after, TYPE(newElement)};
        Link(node);
        return Pos(node);
    }

    POSITION Find(ARG_TYPE searchValue, POSITION startAfter = nullptr) const
    {
        CNode* node = startAfter ? Node(startAfter)->pNext : m_pNodeHead;
        for (; node; node = node->pNext)
            if (CompareElements<TYPE, ARG_TYPE>(&node->data, &searchValue))
                return Pos(node);
        return nullptr;
    }
    POSITION FindIndex(int nIndex) const
    {
        if (nIndex < 0 || nIndex >= m_nCount)
            return nullptr;
        CNode* node = m_pNodeHead;
        while (nIndex--)
            node = node->pNext;
        return Pos(node);
    }

    void Serialize(CArchive& ar) override
    {
        CObject::Serialize(ar);
        if (ar.IsStoring()) {
            ar.WriteCount(static_cast<DWORD>(m_nCount));
            for (CNode* node = m_pNodeHead; node; node = node->pNext)
                SerializeElements(ar, &node->data, 1);
            return;
        }
        for (DWORD n = ar.ReadCount(); n > 0; --n) {
            TYPE value{};
            SerializeElements(ar, &value, 1);
            AddTail(value);
        }
    }

protected:
    static POSITION Pos(CNode* node) { return reinterpret_cast<POSITION>(node); }
    static CNode* Node(POSITION pos)
    {
        if (!pos || pos == BEFORE_START_POSITION)
            AfxThrowInvalidArgException();
        return reinterpret_cast<CNode*>(pos);
    }
    CNode* NonEmpty(CNode* node) const
    {
        if (!node)
            AfxThrowInvalidArgException();
        return node;
    }
    void Link(CNode* node)
    {
        if (node->pPrev) node->pPrev->pNext = node; else m_pNodeHead = node;
        if (node->pNext) node->pNext->pPrev = node; else m_pNodeTail = node;
        ++m_nCount;
    }
    void Unlink(CNode* node)
    {
        if (node->pPrev) node->pPrev->pNext = node->pNext; else m_pNodeHead = node->pNext;
        if (node->pNext) node->pNext->pPrev = node->pPrev; else m_pNodeTail = node->pPrev;
        delete node;
        --m_nCount;
    }

    CNode* m_pNodeHead;
    CNode* m_pNodeTail;
    int m_nCount;
};

// ---------------------------------------------------------------------------------------------
// CMap: a hash map; a POSITION is an entry, iteration runs through the buckets in order.

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject
{
protected:
    struct CAssoc {
        CAssoc* pNext;
        UINT nHashValue;   // full hash of the key
        KEY key;
        VALUE value;
    };

public:
    typedef KEY BASE_KEY;
    typedef ARG_KEY BASE_ARG_KEY;
    typedef VALUE BASE_VALUE;
    typedef ARG_VALUE BASE_ARG_VALUE;

    explicit CMap(int nBlockSize = 10) : m_pHashTable(nullptr), m_nHashTableSize(17), m_nCount(0)
    {
        (void)nBlockSize;
    }
    ~CMap() override { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    int GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const
    {
        UINT hash;
        CAssoc* assoc = GetAssocAt(key, hash);
        if (!assoc)
            return FALSE;
        rValue = assoc->value;
        return TRUE;
    }

    VALUE& operator[](ARG_KEY key)
    {
        UINT hash;
        CAssoc* assoc = GetAssocAt(key, hash);
        if (!assoc) {
            if (!m_pHashTable)
                InitHashTable(m_nHashTableSize);
            assoc = new CAssoc{m_pHashTable[hash % m_nHashTableSize], hash, KEY(key), VALUE()};
            m_pHashTable[hash % m_nHashTableSize] = assoc;
            ++m_nCount;
        }
        return assoc->value;
    }

    void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }

    BOOL RemoveKey(ARG_KEY key)
    {
        if (!m_pHashTable)
            return FALSE;
        const UINT hash = HashKey<ARG_KEY>(key);
        for (CAssoc** link = &m_pHashTable[hash % m_nHashTableSize]; *link; link = &(*link)->pNext) {
            if ((*link)->nHashValue == hash && CompareElements<KEY, ARG_KEY>(&(*link)->key, &key)) {
                CAssoc* doomed = *link;
                *link = doomed->pNext;
                delete doomed;
                --m_nCount;
                return TRUE;
            }
        }
        return FALSE;
    }

    void RemoveAll()
    {
        if (m_pHashTable) {
            for (UINT i = 0; i < m_nHashTableSize; ++i) {
                for (CAssoc* assoc = m_pHashTable[i]; assoc;) {
                    CAssoc* next = assoc->pNext;
                    delete assoc;
                    assoc = next;
                }
            }
            delete[] m_pHashTable;
        }
        m_pHashTable = nullptr;
        m_nCount = 0;
    }

    POSITION GetStartPosition() const { return m_nCount == 0 ? nullptr : BEFORE_START_POSITION; }

    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const
    {
        if (!rNextPosition || !m_pHashTable)
            AfxThrowInvalidArgException();
        CAssoc* assoc = rNextPosition == BEFORE_START_POSITION ? FirstFrom(0) : reinterpret_cast<CAssoc*>(rNextPosition);
        if (!assoc)
            AfxThrowInvalidArgException();
        CAssoc* next = assoc->pNext ? assoc->pNext : FirstFrom(assoc->nHashValue % m_nHashTableSize + 1);
        rNextPosition = reinterpret_cast<POSITION>(next);
        rKey = assoc->key;
        rValue = assoc->value;
    }

    UINT GetHashTableSize() const { return m_nHashTableSize; }

    // Sets the number of buckets; only an empty map can change it.
    void InitHashTable(UINT hashSize, BOOL bAllocNow = TRUE)
    {
        if (m_nCount != 0 || hashSize == 0)
            AfxThrowInvalidArgException();
        delete[] m_pHashTable;
        m_pHashTable = nullptr;
        m_nHashTableSize = hashSize;
        if (bAllocNow) {
            m_pHashTable = new CAssoc*[hashSize];
            std::fill(m_pHashTable, m_pHashTable + hashSize, nullptr);
        }
    }

    void Serialize(CArchive& ar) override
    {
        CObject::Serialize(ar);
        if (ar.IsStoring()) {
            ar.WriteCount(static_cast<DWORD>(m_nCount));
            if (!m_pHashTable)
                return;
            for (UINT i = 0; i < m_nHashTableSize; ++i) {
                for (CAssoc* assoc = m_pHashTable[i]; assoc; assoc = assoc->pNext) {
                    SerializeElements(ar, &assoc->key, 1);
                    SerializeElements(ar, &assoc->value, 1);
                }
            }
            return;
        }
        for (DWORD n = ar.ReadCount(); n > 0; --n) {
            KEY key{};
            VALUE value{};
            SerializeElements(ar, &key, 1);
            SerializeElements(ar, &value, 1);
            SetAt(key, value);
        }
    }

protected:
    CAssoc* GetAssocAt(ARG_KEY key, UINT& hash) const
    {
        hash = HashKey<ARG_KEY>(key);
        if (!m_pHashTable)
            return nullptr;
        for (CAssoc* assoc = m_pHashTable[hash % m_nHashTableSize]; assoc; assoc = assoc->pNext)
            if (assoc->nHashValue == hash && CompareElements<KEY, ARG_KEY>(&assoc->key, &key))
                return assoc;
        return nullptr;
    }

    CAssoc* FirstFrom(UINT bucket) const
    {
        for (; bucket < m_nHashTableSize; ++bucket)
            if (m_pHashTable[bucket])
                return m_pHashTable[bucket];
        return nullptr;
    }

    CAssoc** m_pHashTable;
    UINT m_nHashTableSize;
    int m_nCount;
};

// ---------------------------------------------------------------------------------------------
// Typed views of the pointer collections.

template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS
{
public:
    TYPE GetAt(int nIndex) const { return static_cast<TYPE>(BASE_CLASS::GetAt(nIndex)); }
    TYPE& ElementAt(int nIndex) { return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(nIndex)); }
    void SetAt(int nIndex, TYPE ptr) { BASE_CLASS::SetAt(nIndex, ptr); }
    void SetAtGrow(int nIndex, TYPE newElement) { BASE_CLASS::SetAtGrow(nIndex, newElement); }
    int Add(TYPE newElement) { return BASE_CLASS::Add(newElement); }
    int Append(const CTypedPtrArray& src) { return BASE_CLASS::Append(src); }
    void Copy(const CTypedPtrArray& src) { BASE_CLASS::Copy(src); }
    void InsertAt(int nIndex, TYPE newElement, int nCount = 1) { BASE_CLASS::InsertAt(nIndex, newElement, nCount); }
    TYPE operator[](int nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](int nIndex) { return ElementAt(nIndex); }
};

template <class BASE_CLASS, class TYPE>
class CTypedPtrList : public BASE_CLASS
{
public:
    explicit CTypedPtrList(int nBlockSize = 10) : BASE_CLASS(nBlockSize) {}
    TYPE& GetHead() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetHead()); }
    TYPE GetHead() const { return static_cast<TYPE>(BASE_CLASS::GetHead()); }
    TYPE& GetTail() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetTail()); }
    TYPE GetTail() const { return static_cast<TYPE>(BASE_CLASS::GetTail()); }
    TYPE RemoveHead() { return static_cast<TYPE>(BASE_CLASS::RemoveHead()); }
    TYPE RemoveTail() { return static_cast<TYPE>(BASE_CLASS::RemoveTail()); }
    POSITION AddHead(TYPE newElement) { return BASE_CLASS::AddHead(newElement); }
    POSITION AddTail(TYPE newElement) { return BASE_CLASS::AddTail(newElement); }
    TYPE& GetNext(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetNext(rPosition)); }
    TYPE GetNext(POSITION& rPosition) const { return static_cast<TYPE>(BASE_CLASS::GetNext(rPosition)); }
    TYPE& GetPrev(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetPrev(rPosition)); }
    TYPE GetPrev(POSITION& rPosition) const { return static_cast<TYPE>(BASE_CLASS::GetPrev(rPosition)); }
    TYPE& GetAt(POSITION position) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetAt(position)); }
    TYPE GetAt(POSITION position) const { return static_cast<TYPE>(BASE_CLASS::GetAt(position)); }
    void SetAt(POSITION pos, TYPE newElement) { BASE_CLASS::SetAt(pos, newElement); }
    POSITION InsertBefore(POSITION position, TYPE newElement) { return BASE_CLASS::InsertBefore(position, newElement); }
    POSITION InsertAfter(POSITION position, TYPE newElement) { return BASE_CLASS::InsertAfter(position, newElement); }
};

template <class BASE_CLASS, class KEY, class VALUE>
class CTypedPtrMap : public BASE_CLASS
{
public:
    explicit CTypedPtrMap(int nBlockSize = 10) : BASE_CLASS(nBlockSize) {}
    BOOL Lookup(typename BASE_CLASS::BASE_ARG_KEY key, VALUE& rValue) const
    {
        typename BASE_CLASS::BASE_VALUE value = nullptr;
        if (!BASE_CLASS::Lookup(key, value))
            return FALSE;
        rValue = static_cast<VALUE>(value);
        return TRUE;
    }
    VALUE& operator[](typename BASE_CLASS::BASE_ARG_KEY key)
    {
        return reinterpret_cast<VALUE&>(BASE_CLASS::operator[](key));
    }
    void SetAt(KEY key, VALUE newValue) { BASE_CLASS::SetAt(key, newValue); }
    BOOL RemoveKey(KEY key) { return BASE_CLASS::RemoveKey(key); }
    void GetNextAssoc(POSITION& rPosition, KEY& rKey, VALUE& rValue) const
    {
        typename BASE_CLASS::BASE_KEY key{};
        typename BASE_CLASS::BASE_VALUE value = nullptr;
        BASE_CLASS::GetNextAssoc(rPosition, key, value);
        rKey = static_cast<KEY>(key);
        rValue = static_cast<VALUE>(value);
    }
};
