#pragma once
// The calls that resolve a folder path with a host search: the session's object
// source, the search it creates, the search's settings and its execution.

#include <K1PriTyp.h>
#include <K5TYPLIB.h>

#include "com/com_ptr.h"

#include <string_view>

namespace host {

inline constexpr LONG ObjectTypeFolder = 8;
inline constexpr LONG ObjectTypeSearch = 39;

com::com_ptr<ObjectSource2> object_source_of(HostSession& session);

// The utility's SourceFlag for the object source, which it takes by reference:
// should the utility put another object source there, `source` holds that one.
bool source_flag(IHostUtility& utility, com::com_ptr<ObjectSource2>& source);

// A new search of the object source (reported for `class_label` when the new
// object is no search).
com::com_ptr<HostSearch> create_search(ObjectSource2& source, std::wstring_view class_label);

void set_domain(HostSearch& search, LONG domain);
void set_name_pattern(HostSearch& search, std::wstring_view pattern);
com::com_ptr<TypeFilter> type_filter_of(HostSearch& search);
void add_type(TypeFilter& filter, LONG type);

// Runs the search over everything (no scope, no context); the collection of the
// objects found.
com::com_ptr<IDispatch> execute(HostSearch& search);

} // namespace host
