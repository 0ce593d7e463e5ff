#include "OptionsItems.h"

#include "OptionsManager.h"

void COptionsItem::Copy(const COptionsItem& other)
{
    m_strName = other.m_strName;
}

BOOL COptionsItem::InitNew(const CString& name)
{
    m_strName = name;
    return TRUE;
}

BOOL COptionsItem::Load(COptionsManager* manager)
{
    return manager->ReadText("Name", m_strName);
}

BOOL COptionsItem::Store(COptionsManager* manager)
{
    return manager->Registry().Write("Name", static_cast<LPCSTR>(m_strName));
}

void CPrinterCalibrationItem::Copy(const COptionsItem& other)
{
    COptionsItem::Copy(other);
    if (const auto* item = dynamic_cast<const CPrinterCalibrationItem*>(&other))
        m_OffsetPoint = item->m_OffsetPoint;
}

BOOL CPrinterCalibrationItem::InitNew(const CString& name)
{
    m_OffsetPoint = CPointF(0.0, 0.0);
    return COptionsItem::InitNew(name);
}

BOOL CPrinterCalibrationItem::Load(COptionsManager* manager)
{
    if (!COptionsItem::Load(manager))
        return FALSE;
    tagPointF offset = m_OffsetPoint;
    if (manager->Registry().Read("OffsetPoint", offset))
        m_OffsetPoint = CPointF(offset.x, offset.y);
    return TRUE;
}

BOOL CPrinterCalibrationItem::Store(COptionsManager* manager)
{
    const tagPointF offset = m_OffsetPoint;
    return COptionsItem::Store(manager) && manager->Registry().Write("OffsetPoint", offset);
}

void CMailMessageItem::Copy(const COptionsItem& other)
{
    COptionsItem::Copy(other);
    if (const auto* item = dynamic_cast<const CMailMessageItem*>(&other)) {
        m_strMessageType = item->m_strMessageType;
        m_strSubject = item->m_strSubject;
        m_strText = item->m_strText;
    }
}

BOOL CMailMessageItem::Load(COptionsManager* manager)
{
    if (!COptionsItem::Load(manager))
        return FALSE;
    manager->ReadText("MessageType", m_strMessageType);
    manager->ReadText("Subject", m_strSubject);
    manager->ReadText("Text", m_strText);
    return TRUE;
}

BOOL CMailMessageItem::Store(COptionsManager* manager)
{
    CRegistry& reg = manager->Registry();
    return COptionsItem::Store(manager) && reg.Write("MessageType", static_cast<LPCSTR>(m_strMessageType)) &&
           reg.Write("Subject", static_cast<LPCSTR>(m_strSubject)) && reg.Write("Text", static_cast<LPCSTR>(m_strText));
}

void CCustomMenuItem::Copy(const COptionsItem& other)
{
    COptionsItem::Copy(other);
    if (const auto* item = dynamic_cast<const CCustomMenuItem*>(&other)) {
        m_nType = item->m_nType;
        m_strAction = item->m_strAction;
        m_nID = item->m_nID;
        m_nReferenceID = item->m_nReferenceID;
    }
}

BOOL CCustomMenuItem::Load(COptionsManager* manager)
{
    if (!COptionsItem::Load(manager))
        return FALSE;
    manager->ReadNumber("Type", m_nType);
    manager->ReadText("Action", m_strAction);
    manager->ReadNumber("ID", m_nID);
    manager->ReadNumber("ReferenceID", m_nReferenceID);
    return TRUE;
}

BOOL CCustomMenuItem::Store(COptionsManager*)
{
    return TRUE;
}

void CCustomToolbarItem::Copy(const COptionsItem& other)
{
    COptionsItem::Copy(other);
    if (const auto* item = dynamic_cast<const CCustomToolbarItem*>(&other))
        *this = *item;
}

BOOL CCustomToolbarItem::Load(COptionsManager* manager)
{
    if (!COptionsItem::Load(manager))
        return FALSE;
    manager->ReadNumber("SrcBarID", m_nSrcBarID);
    manager->ReadNumber("SrcButtonID", m_nSrcButtonID);
    manager->ReadNumber("DstBarID", m_nDstBarID);
    manager->ReadNumber("InsertRefID", m_nInsertRefID);
    manager->ReadFlag("InsBefore", m_bInsBefore);
    manager->ReadFlag("DoCopy", m_bDoCopy);
    manager->ReadNumber("SeparatorBefore", m_nSeparatorBefore);
    manager->ReadNumber("SeparatorAfter", m_nSeparatorAfter);
    manager->ReadBytes("ButtonImage", m_ButtonImage);
    DWORD color = m_clTransColor;
    if (manager->ReadNumber("TransColor", color))
        m_clTransColor = color;
    return TRUE;
}

BOOL CCustomToolbarItem::Store(COptionsManager*)
{
    return TRUE;
}

CItemsList::CItemsList(OptionsItemFactory factory, const CString& section, int hive, int level, bool keepExisting)
    : m_factory(factory), m_strSection(section), m_nHive(hive), m_nLevel(level), m_bKeepExisting(keepExisting)
{
}

CItemsList::~CItemsList()
{
    Clear();
}

void CItemsList::Clear()
{
    for (COptionsItem* item : m_items)
        delete item;
    m_items.clear();
}
