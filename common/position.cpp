#include "position.h"

#include "diagnostics/errors.h"
#include "diagnostics/trace.h"

#include <limits>

namespace common {

std::int32_t next_position(std::int32_t position, std::wstring_view class_label)
{
    if (position == std::numeric_limits<std::int32_t>::max()) diagnostics::raise_overflow(class_label);
    return position + 1;
}

std::int32_t previous_position(std::int32_t position, std::wstring_view class_label)
{
    if (position == std::numeric_limits<std::int32_t>::min()) diagnostics::raise_overflow(class_label);
    return position - 1;
}

bool HasNext(std::int32_t position, std::size_t count)
{
    return diagnostics::traced(module_label, L"HasNext", [&] {
        return static_cast<std::int64_t>(next_position(position, module_label)) < static_cast<std::int64_t>(count);
    });
}

bool HasNext(std::int32_t position)
{
    return diagnostics::traced(module_label, L"HasNext",
                               [&] { return previous_position(position, module_label) >= 0; });
}

} // namespace common
