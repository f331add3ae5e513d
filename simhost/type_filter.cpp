#include "type_filter.h"

#include "service_call.h"

#include <com/error.h>

namespace simhost {

std::vector<long> type_filter::types()
{
    std::lock_guard lock(mutex_);
    return types_;
}

HRESULT type_filter::AddType(LONG type_code) noexcept
{
    return guard([&] {
        enter(operation::filter_add_type, {number_text(type_code)});
        std::lock_guard lock(mutex_);
        types_.push_back(type_code);
    });
}

} // namespace simhost
