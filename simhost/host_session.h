#pragma once
// A host session: it holds its own object source and hands out the same one
// every time.

#include "object_source.h"
#include "simulated.h"

#include <com/com_ptr.h>
#include <com/dual.h>

#include <K5TYPLIB.h>

namespace simhost {

class host_session final : public simulated<error_target::host_objects, com::dual<HostSession>> {
public:
    explicit host_session(bool source_flag);
    ~host_session() override;

    object_source& source() noexcept { return *source_; }

    HRESULT STDMETHODCALLTYPE get_ObjectSource(ObjectSource2** source) noexcept override;
    SIMHOST_RESERVED(Reserved01)
    SIMHOST_RESERVED(Reserved02)
    SIMHOST_RESERVED(Reserved03)
    SIMHOST_RESERVED(Reserved04)
    SIMHOST_RESERVED(Reserved05)
    SIMHOST_RESERVED(Reserved06)
    SIMHOST_RESERVED(Reserved07)
    SIMHOST_RESERVED(Reserved08)
    SIMHOST_RESERVED(Reserved09)
    SIMHOST_RESERVED(Reserved10)

private:
    IUnknown* identity() noexcept { return static_cast<HostSession*>(this); }

    const com::com_ptr<object_source> source_;
};

// Sets the source flag of `session` if it is a live session of this host; false
// when it is not.
bool set_source_flag(IUnknown* session, bool flag);

} // namespace simhost
