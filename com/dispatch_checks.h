#pragma once
// What dual<I> checks before it lets ITypeInfo::Invoke run a member: automation
// callers may pass anything, and the type information trusts its caller.

#include <oaidl.h>

namespace com {

// GetIDsOfNames' arguments: the interface must be IID_NULL and every pointer present.
HRESULT check_names_request(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) noexcept;

// Invoke's arguments against the member's description in `vtable`: the interface
// IID_NULL, the pointers present, the argument count and the named arguments the
// member takes, and object arguments of the interface the member declares. A
// refusal returns the automation code (DISP_E_...), sets `argument_error` where
// one argument is at fault, and leaves error information naming it.
HRESULT check_invoke_request(ITypeInfo& vtable, DISPID id, REFIID iid, WORD flags, const DISPPARAMS* params,
                             UINT* argument_error) noexcept;

} // namespace com
