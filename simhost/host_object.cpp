#include "host_object.h"

#include "call_gate.h"
#include "object_collection.h"
#include "repository.h"
#include "service_call.h"

#include <com/error.h>

namespace simhost {

namespace {

// The properties below are read millions of times in benchmarks: a successful
// call does no more than count itself, so it skips com::boundary.
HRESULT copy_text(const std::wstring& text, BSTR* out) noexcept
{
    if (!out) return E_POINTER;
    *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT copy_number(long value, LONG* out) noexcept
{
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

} // namespace

host_object::host_object(std::wstring id, long type_code, long subtype_code, std::wstring full_path)
    : id_(std::move(id)), type_code_(type_code), subtype_code_(subtype_code), full_path_(std::move(full_path))
{}

void host_object::add_related(std::wstring id)
{
    std::lock_guard guard(mutex_);
    related_.push_back(std::move(id));
}

void* host_object::find_alias(REFIID iid) noexcept
{
    return iid == __uuidof(HostObject) ? static_cast<HostObject*>(this) : nullptr;
}

HRESULT host_object::get_RelatedObjects(IDispatch** objects) noexcept
{
    return com::boundary([&] {
        enter_unlogged(operation::object_related_objects);
        require(objects);
        *objects = nullptr;
        std::vector<std::wstring> ids;
        {
            std::lock_guard guard(mutex_);
            ids = related_;
        }
        *objects = make_object_collection(resolve_objects(ids)).detach();
    });
}

HRESULT host_object::get_ID(BSTR* id) noexcept
{
    if (auto failure = count_call(operation::object_id)) return report(*failure);
    return copy_text(id_, id);
}

HRESULT host_object::get_FullPath(BSTR* path) noexcept
{
    if (auto failure = count_call(operation::object_full_path)) return report(*failure);
    return copy_text(full_path_, path);
}

HRESULT host_object::get_TypeCode(LONG* type_code) noexcept
{
    if (auto failure = count_call(operation::object_type_code)) return report(*failure);
    return copy_number(type_code_, type_code);
}

HRESULT host_object::get_SubtypeCode(LONG* subtype_code) noexcept
{
    if (auto failure = count_call(operation::object_subtype_code)) return report(*failure);
    return copy_number(subtype_code_, subtype_code);
}

} // namespace simhost
