#include "GdiSelectors.h"

CGDISelector::CGDISelector(HDC dc, HGDIOBJ object, int autoDelete)
    : m_dc(dc), m_object(object), m_previous(SelectObject(dc, object)), m_autoDelete(autoDelete)
{
}

CGDISelector::CGDISelector(HDC dc, int stockObject, int)
    : m_dc(dc), m_object(nullptr), m_previous(SelectObject(dc, GetStockObject(stockObject))), m_autoDelete(0)
{
}

void CGDISelector::Select(HGDIOBJ object, int autoDelete)
{
    SelectObject(m_dc, object);
    if (m_autoDelete && m_object)
        DeleteObject(m_object);
    m_object = object;
    m_autoDelete = autoDelete;
}

CGDISelector::~CGDISelector()
{
    if (m_previous)
        SelectObject(m_dc, m_previous);
    if (m_autoDelete && m_object)
        DeleteObject(m_object);
}

CROP2Selector::CROP2Selector(HDC dc, int rop2) : m_dc(dc), m_previous(GetROP2(dc))
{
    SetROP2(dc, rop2);
}

CROP2Selector::~CROP2Selector()
{
    if (m_previous)
        SetROP2(m_dc, m_previous);
}

CROP2Selector& CROP2Selector::operator=(const CROP2Selector& other)
{
    m_dc = other.m_dc;
    m_previous = other.m_previous;
    return *this;
}
