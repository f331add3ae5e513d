#include "find_folder_with_path.h"

#include "position.h"
#include "tokenize.h"

#include "diagnostics/thread_services.h"
#include "diagnostics/trace.h"

#include "host/collection_members.h"
#include "host/folder_calls.h"
#include "host/search_calls.h"

#include "com/error.h"

#include <optional>
#include <string>
#include <vector>

namespace common {

namespace {

constexpr std::wstring_view member_label = L"FindFolderWithPath";

constexpr LONG DomainOfFlaggedSource = 3;
constexpr LONG DomainOfOtherSource = 2;

// Runs one step. A failing step is passed over: the routine goes on with the
// next one, and the thread keeps no error information of it.
template <class Step> bool passed_over(Step&& step) noexcept
{
    try {
        step();
        return true;
    } catch (...) {
        ::SetErrorInfo(0, nullptr);
        return false;
    }
}

// The steps need the search; without one each of them fails like any other.
HostSearch& search_of(const com::com_ptr<HostSearch>& search)
{
    if (!search) com::throw_with_new_info(E_POINTER, module_label, L"There is no search.");
    return *search;
}

// The first result whose full path is `path`; null when none is. Results that
// cannot be read are passed over; a failing enumeration ends the walk.
com::com_ptr<HostObject> first_with_path(IDispatch& results, std::wstring_view path)
{
    std::optional<host::collection_members> members;
    if (!passed_over([&] { members.emplace(results, module_label); })) return nullptr;
    for (;;) {
        com::variant member;
        bool more = false;
        if (!passed_over([&] { more = members->next(member); }) || !more) return nullptr;
        com::com_ptr<HostObject> match;
        passed_over([&] {
            com::com_ptr<HostObject> result = host::host_object_in(*member.get(), module_label);
            if (host::full_path_of(*result) == path) match = std::move(result);
        });
        if (match) return match;
    }
}

} // namespace

bool FindFolderWithPath(std::wstring_view path, com::com_ptr<ObjectSource2>& source, com::com_ptr<HostObject>& folder)
{
    diagnostics::trace_enter(module_label, member_label);
    bool found = false;
    // Every step runs, whatever failed before it; a step that needs what an
    // earlier one failed to make fails in turn.
    com::com_ptr<HostSearch> search;
    passed_over([&] {
        if (!source) com::throw_with_new_info(E_POINTER, module_label, L"There is no object source.");
        search = host::create_search(*source, module_label);
    });
    passed_over([&] {
        const bool flagged = host::source_flag(diagnostics::host_utility(), source);
        host::set_domain(search_of(search), flagged ? DomainOfFlaggedSource : DomainOfOtherSource);
    });
    std::optional<std::vector<std::wstring>> names;
    passed_over([&] { names = Tokenize(path, L"\\"); });
    if (names && !names->empty()) {
        passed_over([&] { host::set_name_pattern(search_of(search), names->back()); });
        passed_over([&] { host::add_type(*host::type_filter_of(search_of(search)), host::ObjectTypeFolder); });
        com::com_ptr<IDispatch> results;
        passed_over([&] { results = host::execute(search_of(search)); });
        if (results) {
            if (com::com_ptr<HostObject> match = first_with_path(*results, path)) {
                folder = std::move(match);
                found = true;
            }
        }
    }
    passed_over([&] { diagnostics::trace_leave(module_label, member_label); });
    return found;
}

} // namespace common
