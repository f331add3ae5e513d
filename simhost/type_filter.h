#pragma once
// A search's type filter: the object types the search returns.

#include "simulated.h"

#include <com/dual.h>

#include <K5TYPLIB.h>

#include <mutex>
#include <vector>

namespace simhost {

class type_filter final : public simulated<error_target::host_objects, com::dual<TypeFilter>> {
public:
    std::vector<long> types();

    HRESULT STDMETHODCALLTYPE AddType(LONG type_code) noexcept override;
    SIMHOST_RESERVED(Reserved01)

private:
    std::mutex mutex_;
    std::vector<long> types_; // guarded by mutex_
};

} // namespace simhost
