#include "object_collection.h"

#include "object_enumerator.h"
#include "service_call.h"
#include "simulated.h"

#include <com/error.h>
#include <com/safearray.h>

#include <string_view>

namespace simhost {

namespace {

constexpr DISPID count_id = 1;
constexpr DISPID item_id = DISPID_VALUE;

bool same_name(const wchar_t* name, std::wstring_view expected) noexcept
{
    return ::CompareStringOrdinal(name, -1, expected.data(), static_cast<int>(expected.size()), TRUE) == CSTR_EQUAL;
}

constexpr error_target target = error_target::host_objects;

// A late-bound caller expects an exception in EXCEPINFO and DISP_E_EXCEPTION, as
// ITypeInfo::Invoke reports it; the error information stays set for the others.
// Without error information (mode 3) the EXCEPINFO holds the HRESULT alone.
HRESULT invoke_result(HRESULT result, EXCEPINFO* exception) noexcept
{
    if (SUCCEEDED(result) || !exception) return result;
    *exception = EXCEPINFO{};
    exception->scode = result;
    com::com_ptr<IErrorInfo> info;
    if (sets_error_info(target) && ::GetErrorInfo(0, info.put()) == S_OK) {
        info->GetSource(&exception->bstrSource);
        info->GetDescription(&exception->bstrDescription);
        ::SetErrorInfo(0, info.get());
    }
    return DISP_E_EXCEPTION;
}

class object_collection final : public simulated<target, IDispatch> {
public:
    object_collection(object_list objects, collection_operations operations)
        : objects_(std::make_shared<const object_list>(std::move(objects))), operations_(operations)
    {}

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override
    {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override
    {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept override
    {
        if (!names || !ids) return E_POINTER;
        if (count == 0) return S_OK;
        for (UINT i = 0; i < count; ++i)
            ids[i] = DISPID_UNKNOWN;
        if (same_name(names[0], L"_NewEnum"))
            ids[0] = DISPID_NEWENUM;
        else if (same_name(names[0], L"Count"))
            ids[0] = count_id;
        else if (same_name(names[0], L"Item"))
            ids[0] = item_id;
        // No member has named parameters.
        return ids[0] != DISPID_UNKNOWN && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) noexcept override
    {
        if (!parameters) return E_POINTER;
        if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
        if (parameters->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
        if (result) ::VariantInit(result);
        switch (member) {
        case DISPID_NEWENUM:
            if (parameters->cArgs != 0) return DISP_E_BADPARAMCOUNT;
            return invoke_result(new_enum(result), exception);
        case count_id:
            if (parameters->cArgs != 0) return DISP_E_BADPARAMCOUNT;
            if (result) {
                result->vt = VT_I4;
                result->lVal = static_cast<LONG>(objects_->size());
            }
            return S_OK;
        case item_id:
            if (parameters->cArgs != 1) return DISP_E_BADPARAMCOUNT;
            return item(parameters->rgvarg[0], result);
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    HRESULT new_enum(VARIANT* result) noexcept
    {
        return guard([&] {
            enter_unlogged(operations_.new_enum);
            com::com_ptr<IEnumVARIANT> enumerator = make_object_enumerator(objects_, operations_.next);
            if (!result) return;
            result->vt = VT_UNKNOWN;
            result->punkVal = enumerator.detach();
        });
    }

    HRESULT item(const VARIANT& index, VARIANT* result) noexcept
    {
        com::variant number;
        if (FAILED(::VariantChangeType(number.put(), const_cast<VARIANT*>(&index), 0, VT_I4)))
            return DISP_E_TYPEMISMATCH;
        const LONG position = number.get()->lVal;
        if (position < 1 || static_cast<std::size_t>(position) > objects_->size()) return DISP_E_BADINDEX;
        if (result) {
            result->vt = VT_DISPATCH;
            result->pdispVal = (*objects_)[static_cast<std::size_t>(position - 1)]->as_host_object();
            result->pdispVal->AddRef();
        }
        return S_OK;
    }

    const shared_object_list objects_;
    const collection_operations operations_;
};

} // namespace

com::com_ptr<IDispatch> make_object_collection(object_list objects, collection_operations operations)
{
    return com::as_interface<IDispatch>(com::make<object_collection>(std::move(objects), operations));
}

} // namespace simhost
