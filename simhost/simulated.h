#pragma once
// simulated<Target, Bases...>: com::implements for every object of the simulated
// host. It counts as a live object and reports failures in the error information
// mode of its target (see error_modes.h). SIMHOST_RESERVED fills a placeholder
// slot of a host interface.

#include "error_modes.h"

#include <com/implements.h>

#include <windows.h>

#include <atomic>
#include <utility>

// The placeholder slots of the host interfaces: they keep the real operations at
// their vtable positions and do nothing.
#define SIMHOST_RESERVED(name)                                                                                         \
    HRESULT STDMETHODCALLTYPE name() noexcept override { return E_NOTIMPL; }

namespace simhost {

// The number of live simulated objects (services, host objects, collections and
// enumerators), which tests read to find objects the component leaks. Every such
// class holds a live_object member, through its base simulated<>.
inline std::atomic<long> live_objects{0};

class live_object {
public:
    live_object() noexcept { ++live_objects; }
    live_object(const live_object&) noexcept { ++live_objects; }
    live_object& operator=(const live_object&) noexcept = default;
    ~live_object() { --live_objects; }
};

template <error_target Target, class... Bases> class simulated : public com::implements<Bases...> {
public:
    static constexpr error_target target = Target;

protected:
    simulated() = default;

    bool answers_support_error_info() noexcept override { return simhost::answers_support_error_info(Target); }

    HRESULT interface_supports_error_info(REFIID iid) noexcept override
    {
        if (denies_error_info(Target)) return S_FALSE;
        return com::implements<Bases...>::interface_supports_error_info(iid);
    }

    // The boundary of every COM method of the object.
    template <class F> static HRESULT guard(F&& work) noexcept { return boundary(Target, std::forward<F>(work)); }

private:
    live_object live_;
};

} // namespace simhost
