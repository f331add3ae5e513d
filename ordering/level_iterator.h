#pragma once
// The level iterators: one walk over a level list, forward or backward. The
// forward iterator (CLevelListIterator) goes from level 0 to the last level and
// reaches levels appended while it walks; the reverse iterator
// (CLevelReverseListIterator) goes from the last level to level 0 and covers the
// levels that existed when it was created, since appended levels lie behind
// where it started.

#include <K1PriTyp.h>

#include "level_snapshot.h"
#include "tables.h"

#include "common/position.h"
#include "diagnostics/errors.h"
#include "diagnostics/member.h"

#include "com/dual.h"
#include "com/implements.h"
#include "com/safearray.h"

#include <cstdint>
#include <limits>
#include <string_view>

namespace ordering {

struct forward_walk {
    static constexpr std::wstring_view class_label = L"CLevelListIterator";
    // Before the first level.
    static std::int32_t start(const level_snapshot&) { return -1; }
    static bool has_next(std::int32_t position, const level_snapshot& snapshot)
    {
        return common::HasNext(position, snapshot.levels().count());
    }
    static std::int32_t step(std::int32_t position) { return common::next_position(position, class_label); }
};

struct reverse_walk {
    static constexpr std::wstring_view class_label = L"CLevelReverseListIterator";
    // Behind the last level.
    static std::int32_t start(const level_snapshot& snapshot)
    {
        const std::size_t count = snapshot.levels().count();
        if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
            diagnostics::raise_overflow(class_label);
        return static_cast<std::int32_t>(count);
    }
    static bool has_next(std::int32_t position, const level_snapshot&) { return common::HasNext(position); }
    static std::int32_t step(std::int32_t position) { return common::previous_position(position, class_label); }
};

template <class Walk>
class level_iterator final : public com::implements<com::dual<IKSQLevelIterator>, com::dual<IKSQIteratorNotify>> {
public:
    static constexpr std::wstring_view class_label = Walk::class_label;

    // Called once by the level list that creates the iterator, with its live table.
    void Initialize(shared_level_table levels)
    {
        diagnostics::traced(class_label, L"Initialize", [&] {
            snapshot_.take(std::move(levels));
            position_ = Walk::start(snapshot_);
        });
    }

    HRESULT STDMETHODCALLTYPE HasNext(VARIANT_BOOL* result) noexcept override
    {
        return diagnostics::traced_member(class_label, L"IKSQLevelIterator_HasNext", result,
                                          [&] { return com::to_variant_bool(Walk::has_next(position_, snapshot_)); });
    }

    HRESULT STDMETHODCALLTYPE Next(IKSQObjectList** level) noexcept override
    {
        return diagnostics::traced_member(class_label, L"IKSQLevelIterator_Next", level, [&] {
            return next_level(*this, position_, snapshot_, class_label,
                              [](std::int32_t position, std::wstring_view) { return Walk::step(position); });
        });
    }

    HRESULT STDMETHODCALLTYPE Notify(LONG code) noexcept override
    {
        return diagnostics::traced_member(class_label, L"IKSQIteratorNotify_Notify", [&] {
            // Levels are only ever appended: the snapshot learns of them.
            if (code == NotifyAdded) snapshot_.refresh();
        });
    }

private:
    level_snapshot snapshot_;
    // Index of the level last returned; -1 or the level count before the first.
    std::int32_t position_ = -1;
};

using CLevelListIterator = level_iterator<forward_walk>;
using CLevelReverseListIterator = level_iterator<reverse_walk>;

} // namespace ordering
