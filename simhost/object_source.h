#pragma once
// A session's object source: it makes searches (type 39), and carries the flag
// that HostUtility.SourceFlag answers for it.

#include "simulated.h"

#include <com/dual.h>

#include <K5TYPLIB.h>

#include <atomic>
#include <optional>

namespace simhost {

class object_source final : public simulated<error_target::host_objects, com::dual<ObjectSource2>> {
public:
    explicit object_source(bool flag);
    ~object_source() override;

    void set_flag(bool flag) noexcept { flag_.store(flag); }
    bool flag() const noexcept { return flag_.load(); }

    // Makes a search for type 39; fails with E_INVALIDARG for every other type.
    HRESULT STDMETHODCALLTYPE CreateNewObject(LONG type_code, LONG flags, HostContext* context,
                                              IDispatch** object) noexcept override;
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
    SIMHOST_RESERVED(Reserved11)
    SIMHOST_RESERVED(Reserved12)
    SIMHOST_RESERVED(Reserved13)

protected:
    void* find_alias(REFIID iid) noexcept override;

private:
    IUnknown* identity() noexcept { return static_cast<ObjectSource2*>(this); }

    std::atomic<bool> flag_;
};

// The flag of `source` if it is a live object source of this host.
std::optional<bool> source_flag_of(IUnknown* source);

} // namespace simhost
