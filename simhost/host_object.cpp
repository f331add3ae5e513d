#include "host_object.h"

#include "call_gate.h"
#include "host_folder.h"
#include "object_collection.h"
#include "repository.h"
#include "service_call.h"
#include "simulated.h"

#include <com/error.h>

#include <algorithm>

namespace simhost {

namespace {

// The properties below are read millions of times in benchmarks: a successful
// call does no more than count itself, so it skips the boundary.
HRESULT copy_text(std::wstring_view text, BSTR* out) noexcept
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
    plain_object(const item_description& item, wchar_t* texts) noexcept { describe(item, texts); }

    SIMHOST_RESERVED(Reserved01)
    SIMHOST_RESERVED(Reserved02)
    SIMHOST_RESERVED(Reserved03)
    SIMHOST_RESERVED(Reserved04)

protected:
    void* find_alias(REFIID iid) noexcept override { return host_object_alias(iid); }
};

} // namespace

com::com_ptr<host_object> make_host_object(const item_description& item)
{
    if (item.type_code == folder_type) return make_host_folder(item);
    return make_with_texts<plain_object>(item);
}

void host_object::describe(const item_description& item, wchar_t* texts) noexcept
{
    std::copy(item.id.begin(), item.id.end(), texts);
    std::copy(item.name.begin(), item.name.end(), texts + item.id.size());
    texts_ = texts;
    id_length_ = static_cast<std::uint32_t>(item.id.size());
    name_length_ = static_cast<std::uint32_t>(item.name.size());
    type_code_ = item.type_code;
    subtype_code_ = item.subtype_code;
    parent_path_ = item.parent_path;
}

std::wstring host_object::full_path() const
{
    std::wstring path;
    path.reserve(parent_path_->size() + 1 + name_length_);
    path += *parent_path_;
    path += L'\\';
    path += name();
    return path;
}

std::vector<std::wstring>& host_object::related_ids()
{
    if (!related_) related_ = std::make_unique<std::vector<std::wstring>>();
    return *related_;
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
    return copy_text(this->id(), id);
}

HRESULT host_object::get_FullPath(BSTR* path) noexcept
{
    if (auto failure = count_call(operation::object_full_path)) return report(*failure, target);
    if (!path) return E_POINTER;
    // Made straight into the BSTR: parent path, "\\", name.
    const std::wstring_view parent = *parent_path_;
    *path = ::SysAllocStringLen(nullptr, static_cast<UINT>(parent.size() + 1 + name_length_));
    if (!*path) return E_OUTOFMEMORY;
    std::copy(parent.begin(), parent.end(), *path);
    (*path)[parent.size()] = L'\\';
    std::copy(name().begin(), name().end(), *path + parent.size() + 1);
    return S_OK;
}

HRESULT host_object::get_TypeCode(LONG* type_code) noexcept
{
    if (auto failure = count_call(operation::object_type_code)) return report(*failure, target);
    return copy_number(type_code_, type_code);
}

HRESULT host_object::get_SubtypeCode(LONG* subtype_code) noexcept
{
    if (auto failure = count_call(operation::object_subtype_code)) return report(*failure, target);
    return copy_number(subtype_code_, subtype_code);
}

} // namespace simhost
