#include "MdiActivationOrder.h"

#include <algorithm>

void CMdiActivationOrder::Created(HWND child)
{
    if (!child) return;
    Destroyed(child);
    m_order.insert(m_order.begin(), child);
}

void CMdiActivationOrder::Destroyed(HWND child)
{
    m_order.erase(std::remove(m_order.begin(), m_order.end(), child), m_order.end());
}

HWND CMdiActivationOrder::Target(HWND active, bool previous) const
{
    if (m_order.empty()) return nullptr;
    const auto found = std::find(m_order.begin(), m_order.end(), active);
    if (previous) {
        if (found == m_order.end() || found == m_order.begin()) return m_order.back();
        return *(found - 1);
    }
    if (found == m_order.end() || found + 1 == m_order.end()) return m_order.front();
    return *(found + 1);
}

bool CMdiActivationOrder::Idle(HWND active, bool ctrlDown)
{
    if (ctrlDown || !active || (!m_order.empty() && m_order.front() == active)) return false;
    const auto found = std::find(m_order.begin(), m_order.end(), active);
    if (found == m_order.end()) {
        m_order.insert(m_order.begin(), active);
        return true;
    }
    std::rotate(m_order.begin(), found, found + 1);
    return true;
}
