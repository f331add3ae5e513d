#include "pass_bound.h"

#include <limits>

namespace ordering {

std::size_t pass_bound::limit(std::size_t seen_objects) noexcept
{
    // (n + 1)^2, saturating: far beyond the n that acyclic relations need.
    constexpr std::size_t most = std::numeric_limits<std::size_t>::max();
    const std::size_t side = seen_objects + 1;
    if (side == 0 || side > most / side) return most;
    return side * side;
}

void pass_bound::see(IUnknown* object) { seen_.insert(common::object_key(object)); }

void pass_bound::appended(IUnknown* level, std::size_t depth)
{
    depths_.insert_or_assign(common::object_key(level), depth);
}

std::size_t pass_bound::depth_of(IUnknown* level) const
{
    const auto found = depths_.find(common::object_key(level));
    return found == depths_.end() ? 0 : found->second;
}

} // namespace ordering
