#include "sample_plan.h"

#include <windows.h>

namespace planner {

std::string_view sample_plan() noexcept
{
    HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(sample_plan_resource), MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (!found) return {};
    HGLOBAL loaded = ::LoadResource(nullptr, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const char*>(data), ::SizeofResource(nullptr, found)};
}

} // namespace planner
