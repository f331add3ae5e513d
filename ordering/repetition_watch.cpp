#include "repetition_watch.h"

#include "level_list.h"
#include "object_list.h"

#include <limits>

namespace ordering {

namespace {

// Visits the objects of the non-empty levels in order, calling `level_end`
// after each such level, and returns how many of them lie at or before the level
// at `walked`; none when a level is not one of this component's lists. The
// tables are read directly: no call is made, nothing is traced or registered.
template <class Object, class LevelEnd>
std::optional<std::size_t> visit_levels(IKSQLevelList& list, std::size_t walked, Object&& object, LevelEnd&& level_end)
{
    const auto* own = dynamic_cast<const CLevelList*>(&list);
    if (!own) return std::nullopt;
    const level_table& levels = own->levels();
    std::size_t passed = 0;
    for (std::size_t index = 0; index < levels.count(); ++index) {
        const auto* level = dynamic_cast<const CObjectList*>(levels.at(index).get());
        if (!level) return std::nullopt;
        if (level->objects().count() == 0) continue;
        level->objects().for_each([&](const std::wstring&, const com::com_ptr<HostObject>& held) { object(held); });
        level_end();
        if (index <= walked) ++passed;
    }
    return passed;
}

std::uint64_t scramble(std::uint64_t x) noexcept
{
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ULL;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

std::uint64_t address_of(const void* object) noexcept
{
    return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(object));
}

// Order counts in the levels, so each value is folded into the running hash.
std::uint64_t fold(std::uint64_t hash, std::uint64_t value) noexcept { return scramble(hash ^ scramble(value + 1)); }

} // namespace

bool repetition_watch::repeats(IKSQLevelList& levels, std::size_t walked, const mover_table& movers)
{
    if (!readable_) return false;
    const std::optional<std::uint64_t> now = fingerprint(levels, walked, movers);
    if (!now) {
        readable_ = false;
        saved_.reset();
        return false;
    }
    if (saved_ && *now == saved_fingerprint_ && copy(levels, walked, movers) == *saved_) return true;
    if (++steps_ == window_) {
        saved_ = copy(levels, walked, movers);
        saved_fingerprint_ = *now;
        steps_ = 0;
        if (window_ <= std::numeric_limits<std::size_t>::max() / 2) window_ *= 2;
    }
    return false;
}

std::optional<std::uint64_t> repetition_watch::fingerprint(IKSQLevelList& levels, std::size_t walked,
                                                           const mover_table& movers)
{
    std::uint64_t hash = 0;
    const std::optional<std::size_t> passed = visit_levels(
        levels, walked, [&](const com::com_ptr<HostObject>& object) { hash = fold(hash, address_of(object.get())); },
        [&] { hash = fold(hash, 0); });
    if (!passed) return std::nullopt;
    hash = fold(hash, *passed);
    // The mover table has no order: its entries are summed.
    std::uint64_t entries = 0;
    for (const auto& [related, mover] : movers)
        entries += scramble(scramble(address_of(related.get())) ^ address_of(mover.get()));
    return fold(hash, entries);
}

repetition_watch::state repetition_watch::copy(IKSQLevelList& levels, std::size_t walked, const mover_table& movers)
{
    state s;
    s.passed = visit_levels(
                   levels, walked, [&](const com::com_ptr<HostObject>& object) { s.objects.push_back(object); },
                   [&] { s.objects.emplace_back(); })
                   .value_or(0);
    s.movers = movers;
    return s;
}

} // namespace ordering
