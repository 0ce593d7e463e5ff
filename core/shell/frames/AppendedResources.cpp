#include "AppendedResources.h"

#include <vector>

int AppendMenuItems(HMENU target, HMENU source)
{
    if (!target || !source) return 0;
    int moved = 0;
    while (::GetMenuItemCount(source) > 0) {
        char text[256] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!::GetMenuItemInfoA(source, 0, TRUE, &info)) break;
        // Detach first: removing by position leaves the popup alive for its new owner.
        ::RemoveMenu(source, 0, MF_BYPOSITION);
        info.dwTypeData = text;
        if (!::InsertMenuItemA(target, ::GetMenuItemCount(target), TRUE, &info)) {
            if (info.hSubMenu) ::DestroyMenu(info.hSubMenu);
            continue;
        }
        ++moved;
    }
    return moved;
}

namespace {
std::vector<ACCEL> Entries(HACCEL table)
{
    if (!table) return {};
    const int count = ::CopyAcceleratorTableA(table, nullptr, 0);
    std::vector<ACCEL> entries(count > 0 ? count : 0);
    if (!entries.empty()) ::CopyAcceleratorTableA(table, entries.data(), count);
    return entries;
}
}  // namespace

HACCEL AppendAccelerators(HACCEL first, HACCEL second)
{
    std::vector<ACCEL> all = Entries(first);
    const std::vector<ACCEL> more = Entries(second);
    all.insert(all.end(), more.begin(), more.end());
    if (all.empty()) return nullptr;
    return ::CreateAcceleratorTableA(all.data(), static_cast<int>(all.size()));
}
