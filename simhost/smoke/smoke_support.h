#pragma once
// What the smoke test's checks share: counting failed checks, reading what the
// simulated host recorded, and the thread's error information.

#include <KSimHost.h>

#include <com/bstr.h>
#include <com/com_ptr.h>

#include <windows.h>

#include <string>
#include <vector>

namespace smoke {

// Counts and prints a failed check.
void expect(bool condition, const char* what);
int failed_checks() noexcept;
int checks_made() noexcept;

std::vector<std::wstring> texts(SAFEARRAY* array);
std::vector<std::wstring> trace_lines(ISimHostControl& host);
std::vector<std::wstring> calls(ISimHostControl& host);
long call_count(ISimHostControl& host, const wchar_t* operation);

struct error_text {
    std::wstring source, description;
};
// The thread's error information (taking it); empty texts when there is none.
error_text current_error();

template <class I> com::com_ptr<I> create(REFCLSID clsid)
{
    com::com_ptr<I> object;
    ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I), object.put_void());
    return object;
}

// The objects an IEnumVARIANT of VT_DISPATCH items delivers, one Next at a time.
std::vector<com::com_ptr<IDispatch>> drain(IEnumVARIANT& items);

// The enumerator behind DISPID_NEWENUM of a late-bound collection or folder.
com::com_ptr<IEnumVARIANT> new_enum(IDispatch& collection);

// The checks, one function for each kind of object.
void check_tracing(ISimHostControl& host);
void check_trace_records(ISimHostControl& host);
void check_counted_trace_line(ISimHostControl& host);
void check_raise_error(ISimHostControl& host);
void check_objects(ISimHostControl& host);
void check_folder_tree(ISimHostControl& host);
void check_searches(ISimHostControl& host);
void check_error_modes(ISimHostControl& host);
void check_live_objects(ISimHostControl& host);

} // namespace smoke
