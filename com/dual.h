#pragma once
// dual<I>: IDispatch for the dual interface I, served from the type libraries
// embedded in this module, or else from the library registered for I. Each dual base of a class answers IDispatch calls
// on its own interface, so every interface of a class dispatches on itself.

#include "com_ptr.h"
#include "dispatch_checks.h"

#include <oaidl.h>

namespace com {

// References of the caller's own: DllCanUnloadNow may release the cache from
// another apartment while a call still uses what it got from there.
struct dispatch_info {
    com_ptr<ITypeInfo> dispatch; // the dispatch half, as clients see it
    com_ptr<ITypeInfo> vtable;   // the vtable half, which ITypeInfo::Invoke wants
};

// The type information of a dual interface from this module's type libraries or
// the one registered for the interface, loaded once and kept until released;
// null members when unknown.
dispatch_info type_info_of(REFIID iid) noexcept;

// Releases what type_info_of loaded, for a module about to be unloaded while the
// process goes on. Safe on any thread, also while other threads use the
// information (they hold references of their own) and under the loader lock.
void release_type_information() noexcept;

template <class I> class dual : public I {
public:
    using interface_type = I;

    // Each member leaves no stale error information behind: a refusal sets its
    // own, and the member that Invoke runs sets what its failure carries.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override
    {
        ::SetErrorInfo(0, nullptr);
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) noexcept override
    {
        ::SetErrorInfo(0, nullptr);
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        com_ptr<ITypeInfo> dispatch = type_info_of(__uuidof(I)).dispatch;
        if (!dispatch) return TYPE_E_ELEMENTNOTFOUND;
        *info = dispatch.detach();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) noexcept override
    {
        ::SetErrorInfo(0, nullptr);
        if (const HRESULT refused = check_names_request(iid, names, count, ids); FAILED(refused)) return refused;
        const com_ptr<ITypeInfo> vtable = type_info_of(__uuidof(I)).vtable;
        return vtable ? vtable->GetIDsOfNames(names, count, ids) : TYPE_E_ELEMENTNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argument_error) noexcept override
    {
        ::SetErrorInfo(0, nullptr);
        const com_ptr<ITypeInfo> vtable = type_info_of(__uuidof(I)).vtable;
        if (!vtable) return TYPE_E_ELEMENTNOTFOUND;
        if (const HRESULT refused = check_invoke_request(*vtable, id, iid, flags, params, argument_error);
            FAILED(refused))
            return refused;
        return vtable->Invoke(static_cast<I*>(this), id, flags, params, result, exception, argument_error);
    }

protected:
    dual() = default;
    ~dual() = default;
};

} // namespace com
