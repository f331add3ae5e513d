#include "host_session.h"

#include "object_registry.h"
#include "service_call.h"

#include <com/error.h>

namespace simhost {

namespace {

object_registry<host_session>& sessions()
{
    // Never destroyed: a session released after static destruction still removes itself.
    static auto* registry = new object_registry<host_session>();
    return *registry;
}

} // namespace

host_session::host_session(bool source_flag) : source_(com::make<object_source>(source_flag))
{
    sessions().add(identity(), this);
}

host_session::~host_session() { sessions().remove(identity()); }

HRESULT host_session::get_ObjectSource(ObjectSource2** source) noexcept
{
    return guard([&] {
        enter(operation::session_object_source, {});
        require(source);
        *source = source_.get();
        (*source)->AddRef();
    });
}

bool set_source_flag(IUnknown* session, bool flag)
{
    return sessions().visit(session, [&](host_session& found) { found.source().set_flag(flag); });
}

} // namespace simhost
