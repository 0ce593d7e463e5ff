#pragma once
// A node of a clip-art library's tree: a level record, a file entry or a keyword entry.
#include <classlib.h>
#include "TarnApi.h"

// The attributes of a file entry: its label and four numbers, copied out of the library.
class TARN_API CImageAttribs
{
public:
    CString m_label;
    long m_time = 0;
    long m_date = 0;
    long m_size = 0;
    long m_attr = 0;
};

class TARN_API CItemType
{
public:
    CItemType() = default;
    CItemType(const CItemType& other);
    CItemType& operator=(const CItemType& other);
    virtual ~CItemType();

    void CopyItem(const CItemType& other);

    const CItemType* getParent() const { return m_parent; }
    const CString& getName() const { return m_name; }
    int getLevel() const { return m_level; }
    long getID() const { return m_id; }
    int getIndex() const { return m_index; }
    bool isVisible() const { return m_visible; }
    const CImageAttribs* getAttribs() const { return m_attribs; }
    CString getFileLabel() const;
    long getFileTime() const;
    long getFileDate() const;
    long getFileSize() const;
    long getFileAttr() const;

private:
    friend class CDatFile;

    // What a child needs of its parent to find its siblings. Kept by value, so that a child's walk
    // does not depend on the parent node still being alive.
    struct ParentLink
    {
        bool present = false;
        int level = 0;
        unsigned long id = 0;
        unsigned long nextOffset = 0;
        unsigned long childCount = 0;
    };

    const CItemType* m_parent = nullptr;
    CString m_name;
    int m_level = 0;
    long m_id = 0;
    unsigned long m_nextOffset = 0;
    int m_index = 0;
    bool m_visible = true;
    CImageAttribs* m_attribs = nullptr;
    unsigned long m_childCount = 0;
    ParentLink m_parentLink;
};
