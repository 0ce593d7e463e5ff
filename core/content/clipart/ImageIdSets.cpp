#include <algorithm>
#include <cstdint>
#include "SearchExpression.h"

namespace {

// Membership of ids in one list, in time linear in the lists: a bit per id when the ids are
// dense enough (image ids are offsets into the file table), a sorted copy otherwise.
class IdMembership
{
public:
    explicit IdMembership(const std::vector<unsigned long>& ids)
    {
        unsigned long largest = 0;
        for (unsigned long id : ids)
            largest = std::max(largest, id);
        if (!ids.empty() && largest / 64 <= ids.size() * 4 + 4096) {
            m_bits.assign(largest / 64 + 1, 0);
            for (unsigned long id : ids)
                m_bits[id / 64] |= uint64_t(1) << (id % 64);
        } else {
            m_sorted = ids;
            std::sort(m_sorted.begin(), m_sorted.end());
        }
    }

    bool Contains(unsigned long id) const
    {
        if (!m_bits.empty())
            return id / 64 < m_bits.size() && (m_bits[id / 64] >> (id % 64) & 1);
        return std::binary_search(m_sorted.begin(), m_sorted.end(), id);
    }

private:
    std::vector<uint64_t> m_bits;
    std::vector<unsigned long> m_sorted;
};

template <bool keep>
std::vector<unsigned long> Filter(const std::vector<unsigned long>& left, const std::vector<unsigned long>& right)
{
    const IdMembership members(right);
    std::vector<unsigned long> out;
    out.reserve(left.size());
    for (unsigned long id : left)
        if (members.Contains(id) == keep)
            out.push_back(id);
    return out;
}

} // namespace

namespace ImageIdSets {

std::vector<unsigned long> Union(const std::vector<unsigned long>& left, const std::vector<unsigned long>& right)
{
    if (left.empty())
        return right;
    std::vector<unsigned long> out = left;
    const std::vector<unsigned long> added = Filter<false>(right, left);
    out.insert(out.end(), added.begin(), added.end());
    return out;
}

std::vector<unsigned long> Intersection(const std::vector<unsigned long>& left, const std::vector<unsigned long>& right)
{
    if (left.empty() || right.empty())
        return {};
    return Filter<true>(left, right);
}

std::vector<unsigned long> Difference(const std::vector<unsigned long>& left, const std::vector<unsigned long>& right)
{
    // Taking nothing away leaves the left list.
    if (right.empty())
        return left;
    return Filter<false>(left, right);
}

} // namespace ImageIdSets
