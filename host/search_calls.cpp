#include "search_calls.h"

#include "com/bstr.h"
#include "com/error.h"

namespace host {

com::com_ptr<ObjectSource2> object_source_of(HostSession& session)
{
    com::com_ptr<ObjectSource2> source;
    com::check(session.get_ObjectSource(source.put()), &session);
    if (!source) com::throw_with_new_info(E_POINTER, L"HostSession", L"The session gave no object source.");
    return source;
}

bool source_flag(IHostUtility& utility, com::com_ptr<ObjectSource2>& source)
{
    ObjectSource2* slot = source.detach();
    VARIANT_BOOL flag = VARIANT_FALSE;
    const HRESULT result = utility.SourceFlag(&slot, &flag);
    source = com::com_ptr<ObjectSource2>::attach(slot);
    com::check(result, &utility);
    return flag != VARIANT_FALSE;
}

com::com_ptr<HostSearch> create_search(ObjectSource2& source, std::wstring_view class_label)
{
    com::com_ptr<IDispatch> created;
    com::check(source.CreateNewObject(ObjectTypeSearch, 0, nullptr, created.put()), &source);
    com::com_ptr<HostSearch> search;
    const HRESULT result =
        created ? created->QueryInterface(IID_HostSearch, search.put_void()) : static_cast<HRESULT>(E_POINTER);
    if (FAILED(result)) com::throw_with_new_info(result, class_label, L"The object source made no search.");
    return search;
}

void set_domain(HostSearch& search, LONG domain) { com::check(search.SetDomain(domain), &search); }

void set_name_pattern(HostSearch& search, std::wstring_view pattern)
{
    com::check(search.SetNamePattern(com::bstr(pattern).get()), &search);
}

com::com_ptr<TypeFilter> type_filter_of(HostSearch& search)
{
    com::com_ptr<TypeFilter> filter;
    com::check(search.get_TypeFilter(filter.put()), &search);
    if (!filter) com::throw_with_new_info(E_POINTER, L"HostSearch", L"The search gave no type filter.");
    return filter;
}

void add_type(TypeFilter& filter, LONG type) { com::check(filter.AddType(type), &filter); }

com::com_ptr<IDispatch> execute(HostSearch& search)
{
    com::com_ptr<IDispatch> results;
    com::check(search.Execute(0, nullptr, nullptr, 0, 0, results.put()), &search);
    if (!results) com::throw_with_new_info(E_POINTER, L"HostSearch", L"The search gave no results.");
    return results;
}

} // namespace host
