#include "ItemType.h"

CItemType::CItemType(const CItemType& other)
{
    CopyItem(other);
}

CItemType& CItemType::operator=(const CItemType& other)
{
    if (this != &other)
        CopyItem(other);
    return *this;
}

CItemType::~CItemType()
{
    delete m_attribs;
}

void CItemType::CopyItem(const CItemType& other)
{
    if (this == &other)
        return;
    m_parent = other.m_parent;
    m_name = other.m_name;
    m_level = other.m_level;
    m_id = other.m_id;
    m_nextOffset = other.m_nextOffset;
    m_index = other.m_index;
    m_visible = other.m_visible;
    m_childCount = other.m_childCount;
    m_parentLink = other.m_parentLink;
    CImageAttribs* copy = other.m_attribs ? new CImageAttribs(*other.m_attribs) : nullptr;
    delete m_attribs;
    m_attribs = copy;
}

CString CItemType::getFileLabel() const { return m_attribs ? m_attribs->m_label : CString(); }
long CItemType::getFileTime() const { return m_attribs ? m_attribs->m_time : 0; }
long CItemType::getFileDate() const { return m_attribs ? m_attribs->m_date : 0; }
long CItemType::getFileSize() const { return m_attribs ? m_attribs->m_size : 0; }
long CItemType::getFileAttr() const { return m_attribs ? m_attribs->m_attr : 0; }
