// libFuzzer harness for the plan reader: any input either becomes a plan whose
// indexes all point inside it, or fails with plan_error. Anything else (a crash,
// a sanitizer report, another exception, an index out of range) is a finding.
// Built natively by scripts/fuzz.sh, outside the MinGW build.

#include "plan_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void require(bool condition)
{
    if (!condition) std::abort();
}

void check(const planner::plan& plan)
{
    require(!plan.folder_paths.empty() && plan.folder_paths[0].empty());
    for (const planner::plan_object& object : plan.objects) {
        require(!object.id.empty());
        require(object.folder < plan.folder_paths.size());
        for (std::uint32_t related : plan.related_of(object))
            require(related < plan.objects.size());
    }
    for (std::uint32_t object : plan.resolve)
        require(object < plan.objects.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        check(planner::read_plan(text));
    } catch (const planner::plan_error&) {
    }
    return 0;
}
