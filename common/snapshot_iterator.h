#pragma once
// A forward iterator over a live keyed table and a snapshot of its keys, taken
// when the iterator is initialised: the walk of the rule tables and of the log
// settings. HasNext counts the live table; Next walks the snapshot, so entries
// added after the snapshot are counted but cannot be reached: a Next that steps
// beyond the snapshot moves the position on and fails with "Subscript out of
// range".
//
// Traits name the interfaces and labels:
//   default_interface, iterator_interface, record_interface, key,
//   class_label, has_next_label, next_label.

#include "keyed_table.h"
#include "position.h"

#include "diagnostics/errors.h"
#include "diagnostics/member.h"
#include "diagnostics/trace.h"

#include "com/dual.h"
#include "com/error.h"
#include "com/implements.h"
#include "com/safearray.h"

#include <cstdint>
#include <vector>

namespace common {

template <class Traits>
class snapshot_iterator final : public com::implements<com::dual<typename Traits::default_interface>,
                                                       com::dual<typename Traits::iterator_interface>> {
public:
    using iterator_interface = typename Traits::iterator_interface;
    using record = typename Traits::record_interface;
    using table = shared_table<typename Traits::key, com::com_ptr<record>>;

    static constexpr std::wstring_view class_label = Traits::class_label;

    // Takes the owner's live table and a snapshot of its keys. An iterator that
    // nobody initialised walks an empty table.
    void Initialize(table entries)
    {
        diagnostics::traced(class_label, L"Initialize", [&] {
            entries_ = std::move(entries);
            keys_ = entries_->keys();
            position_ = -1;
        });
    }

    HRESULT STDMETHODCALLTYPE HasNext(VARIANT_BOOL* result) noexcept override
    {
        return diagnostics::traced_member(class_label, Traits::has_next_label, result,
                                          [&] { return com::to_variant_bool(common::HasNext(position_, *entries_)); });
    }

    HRESULT STDMETHODCALLTYPE Next(record** next) noexcept override
    {
        return diagnostics::traced_member(class_label, Traits::next_label, next, [&] { return step(); });
    }

private:
    com::com_ptr<record> step()
    {
        VARIANT_BOOL more = VARIANT_FALSE;
        com::check(static_cast<typename Traits::iterator_interface*>(this)->HasNext(&more));
        if (!more) return {};
        position_ = next_position(position_, class_label);
        if (static_cast<std::size_t>(position_) >= keys_.size()) diagnostics::raise_subscript_out_of_range(class_label);
        return entries_->item(keys_[static_cast<std::size_t>(position_)]);
    }

    table entries_ = std::make_shared<typename table::element_type>();
    std::vector<typename Traits::key> keys_;
    std::int32_t position_ = -1;
};

} // namespace common
