#pragma once
#include <vector>

// An array of object pointers; with bOwner nonzero it deletes its elements when they are removed
// and when it is destroyed.
template <class T, int bOwner>
class CPointerArray {
public:
    CPointerArray() = default;
    CPointerArray(const CPointerArray&) = delete;
    CPointerArray& operator=(const CPointerArray&) = delete;
    ~CPointerArray() { RemoveAll(); }

    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_items.empty(); }
    T* GetAt(int index) const { return m_items.at(static_cast<size_t>(index)); }
    T* operator[](int index) const { return GetAt(index); }
    T** GetData() { return m_items.data(); }

    int Add(T* item)
    {
        m_items.push_back(item);
        return GetSize() - 1;
    }
    void InsertAt(int index, T* item) { m_items.insert(m_items.begin() + index, item); }
    // Replaces an element; an owning array deletes the one it held.
    void SetAt(int index, T* item)
    {
        T*& slot = m_items.at(static_cast<size_t>(index));
        if (bOwner && slot != item)
            delete slot;
        slot = item;
    }
    void RemoveAt(int index)
    {
        T* item = m_items.at(static_cast<size_t>(index));
        m_items.erase(m_items.begin() + index);
        if (bOwner)
            delete item;
    }
    // Takes an element out without deleting it.
    T* Detach(int index)
    {
        T* item = m_items.at(static_cast<size_t>(index));
        m_items.erase(m_items.begin() + index);
        return item;
    }
    void RemoveAll()
    {
        if (bOwner) {
            for (T* item : m_items)
                delete item;
        }
        m_items.clear();
    }

private:
    std::vector<T*> m_items;
};
