#include "sort_application_by_levels.h"

#include "level_sort.h"

#include "diagnostics/member.h"
#include "diagnostics/trace.h"

#include "com/error.h"
#include "com/variant.h"

namespace ordering {

namespace {

using diagnostics::traced;

// The level list that the argument holds; anything else fails.
com::com_ptr<IKSQLevelList> level_list_in(VARIANT* argument)
{
    if (!argument)
        com::throw_with_new_info(E_POINTER, CSortApplicationByLevels::class_label, L"No level list was given.");
    com::variant value;
    com::check(::VariantCopyInd(value.put(), argument));
    IUnknown* object = com::object_in(*value.get());
    com::com_ptr<IKSQLevelList> levels;
    if (!object || FAILED(object->QueryInterface(IID_IKSQLevelList, levels.put_void())))
        com::throw_with_new_info(DISP_E_TYPEMISMATCH, CSortApplicationByLevels::class_label,
                                 L"The argument is not a level list.");
    return levels;
}

} // namespace

HRESULT CSortApplicationByLevels::Sort(VARIANT* levels) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQSortApplicationObjects_Sort",
                                      [&] { level_sort(level_list_in(levels)).run(); });
}

HRESULT CSortApplicationByLevels::putref_Session(HostSession* session) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQSortApplicationObjects_Session",
                                      [&] { session_ = com::com_ptr<HostSession>(session); });
}

HRESULT CSortApplicationByLevels::get_Session(HostSession** session) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQSortApplicationObjects_Session", session,
                                      [&] { return session_; });
}

} // namespace ordering
