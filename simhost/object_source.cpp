#include "object_source.h"

#include "host_search.h"
#include "object_registry.h"
#include "service_call.h"

#include <com/error.h>

namespace simhost {

namespace {

constexpr long search_type = 39;

object_registry<object_source>& sources()
{
    // Never destroyed: a source released after static destruction still removes itself.
    static auto* registry = new object_registry<object_source>();
    return *registry;
}

} // namespace

object_source::object_source(bool flag) : flag_(flag) { sources().add(identity(), this); }

object_source::~object_source() { sources().remove(identity()); }

void* object_source::find_alias(REFIID iid) noexcept
{
    return iid == __uuidof(ObjectSource) ? static_cast<ObjectSource*>(this) : nullptr;
}

HRESULT object_source::CreateNewObject(LONG type_code, LONG flags, HostContext* context, IDispatch** object) noexcept
{
    return guard([&] {
        enter(operation::source_create_new_object,
              {number_text(type_code), number_text(flags), context ? L"object" : L"null"});
        require(object);
        *object = nullptr;
        if (type_code != search_type)
            com::throw_with_new_info(E_INVALIDARG, L"KSimHost",
                                     L"An object source cannot create an object of type " + number_text(type_code) +
                                         L".");
        *object = make_host_search().detach();
    });
}

std::optional<bool> source_flag_of(IUnknown* source)
{
    std::optional<bool> flag;
    sources().visit(source, [&](const object_source& found) { flag = found.flag(); });
    return flag;
}

} // namespace simhost
