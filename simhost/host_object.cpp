#include "host_object.h"

#include "call_gate.h"
#include "host_folder.h"
#include "object_collection.h"
#include "repository.h"
#include "service_call.h"
#include "simulated.h"

#include <com/error.h>

namespace simhost {

namespace {

// The properties below are read millions of times in benchmarks: a successful
// call does no more than count itself, so it skips the boundary.
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

constexpr error_target target = error_target::host_objects;

class plain_object final : public simulated<target, host_object> {
public:
    explicit plain_object(item_description item) noexcept { describe(std::move(item)); }

    SIMHOST_RESERVED(Reserved01)
    SIMHOST_RESERVED(Reserved02)
    SIMHOST_RESERVED(Reserved03)
    SIMHOST_RESERVED(Reserved04)

protected:
    void* find_alias(REFIID iid) noexcept override { return host_object_alias(iid); }
};

} // namespace

item_description describe_item(std::wstring id, std::wstring_view name, long type_code, long subtype_code,
                               std::wstring_view parent_path)
{
    item_description item{std::move(id), {}, parent_path.size(), parent_path.size() + 1, type_code, subtype_code};
    item.full_path.reserve(parent_path.size() + 1 + name.size());
    item.full_path += parent_path;
    item.full_path += L'\\';
    item.full_path += name;
    return item;
}

com::com_ptr<host_object> make_host_object(item_description item)
{
    if (item.type_code == folder_type) return make_host_folder(std::move(item));
    return com::make<plain_object>(std::move(item));
}

void* host_object::host_object_alias(REFIID iid) noexcept
{
    return iid == __uuidof(HostObject) ? static_cast<HostObject*>(this) : nullptr;
}

HRESULT host_object::get_RelatedObjects(IDispatch** objects) noexcept
{
    return boundary(target, [&] {
        enter_unlogged(operation::object_related_objects);
        require(objects);
        *objects = nullptr;
        *objects = make_object_collection(related_objects(*this)).detach();
    });
}

HRESULT host_object::get_ID(BSTR* id) noexcept
{
    if (auto failure = count_call(operation::object_id)) return report(*failure, target);
    return copy_text(item_.id, id);
}

HRESULT host_object::get_FullPath(BSTR* path) noexcept
{
    if (auto failure = count_call(operation::object_full_path)) return report(*failure, target);
    return copy_text(item_.full_path, path);
}

HRESULT host_object::get_TypeCode(LONG* type_code) noexcept
{
    if (auto failure = count_call(operation::object_type_code)) return report(*failure, target);
    return copy_number(item_.type_code, type_code);
}

HRESULT host_object::get_SubtypeCode(LONG* subtype_code) noexcept
{
    if (auto failure = count_call(operation::object_subtype_code)) return report(*failure, target);
    return copy_number(item_.subtype_code, subtype_code);
}

} // namespace simhost
