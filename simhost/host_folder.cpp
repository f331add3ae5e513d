#include "host_folder.h"

#include "object_enumerator.h"
#include "repository.h"
#include "service_call.h"
#include "simulated.h"

#include <com/dual.h>
#include <com/error.h>

namespace simhost {

namespace {

class host_folder final : public simulated<error_target::host_objects, host_object, com::dual<HostFolder>> {
public:
    host_folder(const item_description& item, wchar_t* texts) noexcept { describe(item, texts); }

    HRESULT STDMETHODCALLTYPE get_FolderObject(HostObject** object) noexcept override
    {
        return guard([&] {
            enter(operation::folder_folder_object, {id()});
            require(object);
            *object = as_host_object();
            (*object)->AddRef();
        });
    }

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** enumerator) noexcept override
    {
        return guard([&] {
            enter(operation::folder_new_enum, {id()});
            require(enumerator);
            *enumerator = nullptr;
            *enumerator = make_object_enumerator(std::make_shared<const object_list>(contents_of(full_path())),
                                                 operation::folder_enumerator_next)
                              .detach();
        });
    }

    // Placeholders of HostObject and HostFolder alike.
    SIMHOST_RESERVED(Reserved01)
    SIMHOST_RESERVED(Reserved02)
    SIMHOST_RESERVED(Reserved03)
    SIMHOST_RESERVED(Reserved04)

protected:
    void* find_alias(REFIID iid) noexcept override { return host_object_alias(iid); }
};

} // namespace

com::com_ptr<host_object> make_host_folder(const item_description& item) { return make_with_texts<host_folder>(item); }

} // namespace simhost
