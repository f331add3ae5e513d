#include "object_list_iterator.h"

#include "common/position.h"
#include "diagnostics/errors.h"
#include "diagnostics/thread_services.h"
#include "diagnostics/member.h"
#include "diagnostics/trace.h"

#include "com/error.h"
#include "com/safearray.h"

#include <cassert>

namespace ordering {

namespace {

using diagnostics::traced;

VARIANT object_value(HostObject* object) noexcept
{
    VARIANT value;
    ::VariantInit(&value);
    value.vt = VT_DISPATCH;
    value.pdispVal = object;
    return value;
}

// The host utility's comparison, which is the host's notion of "the same object".
bool same_object(HostObject* first, HostObject* second)
{
    IHostUtility& utility = diagnostics::host_utility();
    VARIANT_BOOL equal = VARIANT_FALSE;
    com::check(utility.ValuesEqual(object_value(first), object_value(second), 0, &equal), &utility);
    return equal != VARIANT_FALSE;
}

} // namespace

void CObjectListIterator::Initialize(object_table objects)
{
    traced(class_label, L"Initialize", [&] {
        objects_ = std::move(objects);
        keys_ = objects_->keys();
        position_ = -1;
        current_.reset();
    });
}

HRESULT CObjectListIterator::HasNext(VARIANT_BOOL* result) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQObjectIterator_HasNext", result,
                                      [&] { return com::to_variant_bool(common::HasNext(position_, *objects_)); });
}

HRESULT CObjectListIterator::Next(HostObject** object) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQObjectIterator_Next", object, [&] {
        VARIANT_BOOL more = VARIANT_FALSE;
        com::check(static_cast<IKSQObjectIterator*>(this)->HasNext(&more));
        // At the end the iterator stays where it is, after the object it
        // passed last, so that a later removal is measured against that one.
        if (!more) return com::com_ptr<HostObject>();
        const std::int32_t position = common::next_position(position_, class_label);
        com::com_ptr<HostObject> found = object_at(position);
        position_ = position;
        current_ = found;
        assert_position();
        return found;
    });
}

HRESULT CObjectListIterator::Notify(LONG code) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQIteratorNotify_Notify", [&] {
        if (code == NotifyAdded)
            object_added();
        else if (code == NotifyRemoved)
            object_removed();
    });
}

void CObjectListIterator::refresh_keys()
{
    // Only an iterator that missed changes can find its snapshot too short.
    if (keys_.size() < objects_->count()) keys_.resize(objects_->count());
    std::size_t index = 0;
    objects_->for_each([&](const std::wstring& key, const com::com_ptr<HostObject>&) { keys_[index++] = key; });
    assert(index == objects_->count() && index <= keys_.size()); // 3
}

void CObjectListIterator::object_added()
{
    // A run of appends reallocates the snapshot once every hundred objects.
    const std::size_t count = objects_->count();
    if (keys_.size() <= count) keys_ = std::vector<std::wstring>(count + 101);
    refresh_keys();
}

void CObjectListIterator::object_removed()
{
    refresh_keys();
    if (position_ < 0) return;
    // The iterator keeps its place between the objects that remain: it steps
    // back when the removed object was the one at its position or before it.
    const bool step_back = static_cast<std::size_t>(position_) >= objects_->count() ||
                           !same_object(current_.get(), object_at(position_).get());
    if (!step_back) return;
    position_ = common::previous_position(position_, class_label);
    // The object now at the position is the one the walk passed last. Measuring
    // the next removal against it, rather than against an object that has left
    // the list, keeps a second removal from stepping back once too often.
    current_ = position_ >= 0 ? object_at(position_) : nullptr;
    assert_position();
}

void CObjectListIterator::assert_position() const noexcept
{
    assert(position_ >= -1);                                  // 1
    assert((position_ == -1) == (current_.get() == nullptr)); // 2
}

com::com_ptr<HostObject> CObjectListIterator::object_at(std::int32_t position) const
{
    // Only an iterator that missed changes can point past its snapshot or at a
    // key that has left the list.
    if (position < 0 || static_cast<std::size_t>(position) >= keys_.size())
        diagnostics::raise_subscript_out_of_range(class_label);
    const com::com_ptr<HostObject>* found = objects_->find(keys_[static_cast<std::size_t>(position)]);
    if (!found) diagnostics::raise_subscript_out_of_range(class_label);
    return *found;
}

} // namespace ordering
