#include "render/FillInfo.h"

namespace {
const DashPattern kPatterns[4] = {
    {0x80000002u, {18, 6, 0, 0, 0, 0}},
    {0x80000002u, {3, 3, 0, 0, 0, 0}},
    {0x80000004u, {9, 6, 3, 6, 0, 0}},
    {0x80000006u, {9, 3, 3, 3, 3, 3}},
};
} // namespace

const DashPattern* DashPatternForOutline(std::int32_t outlineKind)
{
    if (outlineKind < OutlineDash || outlineKind > OutlineDashDotDot) return nullptr;
    return &kPatterns[outlineKind - OutlineDash];
}
