#include "object_list.h"

#include "host/host_object_calls.h"
#include "object_list_iterator.h"

#include "common/iterator_factory.h"
#include "diagnostics/errors.h"
#include "diagnostics/setup.h"
#include "diagnostics/member.h"
#include "diagnostics/trace.h"

#include "com/bstr.h"
#include "com/error.h"
#include "com/safearray.h"

#include <limits>

namespace ordering {

namespace {

using diagnostics::traced;

} // namespace

CObjectList::CObjectList() : objects_(common::make_table<std::wstring, com::com_ptr<HostObject>>())
{
    diagnostics::ensure_thread_setup();
}

HRESULT CObjectList::Add(HostObject* object) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQObjectList_Add", [&] {
        if (!object) com::throw_with_new_info(E_POINTER, class_label, L"No object was given.");
        std::wstring id = host::id_of(*object);
        // A duplicate ID keeps the first object and tells nobody.
        if (objects_->exists(id)) return;
        objects_->add(std::move(id), com::com_ptr<HostObject>(object));
        iterators_.notify_all(NotifyAdded);
    });
}

HRESULT CObjectList::Remove(VARIANT* key) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQObjectList_Remove", [&] {
        if (!key) com::throw_with_new_info(E_POINTER, class_label, L"No key was given.");
        VARIANT_BOOL found = VARIANT_FALSE;
        com::check(static_cast<IKSQObjectList*>(this)->Exists(key, &found));
        if (!found) return;
        objects_->remove(FindKey(*key));
        iterators_.notify_all(NotifyRemoved);
    });
}

HRESULT CObjectList::Exists(VARIANT* key, VARIANT_BOOL* result) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQObjectList_Exists", result, [&] {
        if (!key) com::throw_with_new_info(E_POINTER, class_label, L"No key was given.");
        return com::to_variant_bool(objects_->exists(FindKey(*key)));
    });
}

HRESULT CObjectList::CreateObjectIterator(IKSQObjectIterator** iterator) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQObjectList_CreateObjectIterator", iterator, [&] {
        return common::make_registered_iterator<IKSQObjectIterator, CObjectListIterator>(objects_, iterators_);
    });
}

HRESULT CObjectList::RemoveIterator(IKSQObjectIterator* iterator) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQObjectList_RemoveIterator",
                                      [&] { iterators_.remove(iterator); });
}

HRESULT CObjectList::RemoveAllIterators() noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQObjectList_RemoveAllIterators", [&] { iterators_.clear(); });
}

HRESULT CObjectList::get_Count(LONG* count) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQObjectList_Count", count, [&] {
        const std::size_t size = objects_->count();
        if (size > static_cast<std::size_t>(std::numeric_limits<LONG>::max())) diagnostics::raise_overflow(class_label);
        return static_cast<LONG>(size);
    });
}

std::wstring CObjectList::FindKey(const VARIANT& value)
{
    return traced(class_label, L"FindKey", [&] {
        // A key passed by reference, as automation clients may, counts as its target.
        com::variant key;
        com::check(::VariantCopyInd(key.put(), const_cast<VARIANT*>(&value)));
        const VARIANT& v = *key.get();
        switch (v.vt) {
        case VT_BSTR:
            return std::wstring(com::bstr::view_of(v.bstrVal));
        case VT_DISPATCH:
            return host::id_of(*host::as_host_object(v.pdispVal, class_label));
        case VT_UNKNOWN:
            return host::id_of(*host::as_host_object(v.punkVal, class_label));
        default:
            return std::wstring();
        }
    });
}

} // namespace ordering
