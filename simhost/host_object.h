#pragma once
// A host object of the metadata repository. Collections hand it out as HostObject2;
// it answers HostObject with the same pointer, which is a HostObject too.

#include "live_objects.h"
#include "reserved.h"

#include <com/dual.h>
#include <com/implements.h>

#include <K5TYPLIB.h>

#include <mutex>
#include <string>
#include <vector>

namespace simhost {

class host_object final : public com::implements<com::dual<HostObject2>> {
public:
    host_object(std::wstring id, long type_code, long subtype_code, std::wstring full_path);

    const std::wstring& id() const noexcept { return id_; }
    void add_related(std::wstring id);
    HostObject2* as_host_object() noexcept { return this; }

    // HostObject
    HRESULT STDMETHODCALLTYPE get_RelatedObjects(IDispatch** objects) noexcept override;
    HRESULT STDMETHODCALLTYPE get_ID(BSTR* id) noexcept override;
    HRESULT STDMETHODCALLTYPE get_FullPath(BSTR* path) noexcept override;
    HRESULT STDMETHODCALLTYPE get_TypeCode(LONG* type_code) noexcept override;
    HRESULT STDMETHODCALLTYPE get_SubtypeCode(LONG* subtype_code) noexcept override;
    SIMHOST_RESERVED(Reserved01)
    SIMHOST_RESERVED(Reserved02)
    SIMHOST_RESERVED(Reserved03)
    SIMHOST_RESERVED(Reserved04)
    SIMHOST_RESERVED(Reserved05)
    SIMHOST_RESERVED(Reserved07)
    SIMHOST_RESERVED(Reserved08)
    SIMHOST_RESERVED(Reserved09)
    SIMHOST_RESERVED(Reserved10)
    SIMHOST_RESERVED(Reserved12)
    SIMHOST_RESERVED(Reserved13)
    SIMHOST_RESERVED(Reserved14)
    SIMHOST_RESERVED(Reserved15)
    SIMHOST_RESERVED(Reserved16)
    SIMHOST_RESERVED(Reserved18)
    SIMHOST_RESERVED(Reserved19)
    SIMHOST_RESERVED(Reserved20)
    SIMHOST_RESERVED(Reserved21)
    SIMHOST_RESERVED(Reserved22)
    SIMHOST_RESERVED(Reserved23)
    SIMHOST_RESERVED(Reserved25)
    SIMHOST_RESERVED(Reserved26)
    SIMHOST_RESERVED(Reserved27)
    SIMHOST_RESERVED(Reserved28)
    SIMHOST_RESERVED(Reserved29)
    SIMHOST_RESERVED(Reserved30)
    SIMHOST_RESERVED(Reserved31)
    SIMHOST_RESERVED(Reserved32)
    SIMHOST_RESERVED(Reserved33)
    SIMHOST_RESERVED(Reserved34)
    SIMHOST_RESERVED(Reserved35)

protected:
    void* find_alias(REFIID iid) noexcept override;

private:
    live_object live_;
    const std::wstring id_;
    const long type_code_;
    const long subtype_code_;
    const std::wstring full_path_;
    std::mutex mutex_;
    std::vector<std::wstring> related_; // guarded by mutex_; IDs, resolved when asked
};

} // namespace simhost
