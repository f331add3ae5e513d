#include "dispatch_checks.h"

#include "bstr.h"
#include "com_ptr.h"
#include "error.h"
#include "variant.h"

#include <string>
#include <utility>

namespace com {

namespace {

// A member's description in the type information that declares it (the
// interface itself or one it derives from), released when it goes.
class func_desc {
public:
    func_desc() noexcept = default;
    func_desc(com_ptr<ITypeInfo> owner, FUNCDESC* desc) noexcept : owner_(std::move(owner)), desc_(desc) {}
    func_desc(const func_desc&) = delete;
    func_desc& operator=(const func_desc&) = delete;
    func_desc(func_desc&& other) noexcept : owner_(std::move(other.owner_)), desc_(std::exchange(other.desc_, nullptr))
    {}
    ~func_desc()
    {
        if (desc_) owner_->ReleaseFuncDesc(desc_);
    }
    const FUNCDESC* operator->() const noexcept { return desc_; }
    const FUNCDESC& get() const noexcept { return *desc_; }
    ITypeInfo& owner() const noexcept { return *owner_; }
    explicit operator bool() const noexcept { return desc_ != nullptr; }

private:
    com_ptr<ITypeInfo> owner_;
    FUNCDESC* desc_ = nullptr;
};

// The member `id` for the first kind of call that `flags` allows, looked for in
// the interface and then in the interfaces it derives from.
func_desc find_member(ITypeInfo& vtable, DISPID id, WORD flags) noexcept
{
    const std::pair<WORD, INVOKEKIND> kinds[] = {{DISPATCH_METHOD, INVOKE_FUNC},
                                                 {DISPATCH_PROPERTYGET, INVOKE_PROPERTYGET},
                                                 {DISPATCH_PROPERTYPUT, INVOKE_PROPERTYPUT},
                                                 {DISPATCH_PROPERTYPUTREF, INVOKE_PROPERTYPUTREF}};
    com_ptr<ITypeInfo> info(&vtable);
    for (int depth = 0; info && depth < 16; ++depth) {
        com_ptr<ITypeInfo2> info2 = info.try_as<ITypeInfo2>();
        if (!info2) return {};
        for (auto [flag, kind] : kinds) {
            if (!(flags & flag)) continue;
            UINT index = 0;
            if (FAILED(info2->GetFuncIndexOfMemId(id, kind, &index))) continue;
            FUNCDESC* desc = nullptr;
            if (SUCCEEDED(info->GetFuncDesc(index, &desc))) return func_desc(info, desc);
        }
        HREFTYPE base_ref = 0;
        com_ptr<ITypeInfo> base;
        if (FAILED(info->GetRefTypeOfImplType(0, &base_ref)) || FAILED(info->GetRefTypeInfo(base_ref, base.put())))
            return {};
        info = std::move(base);
    }
    return {};
}

// The interface that a parameter declared as an object reference wants, if it
// is one (I* or, by reference, I**).
bool wanted_interface(ITypeInfo& vtable, const TYPEDESC& type, IID& iid, std::wstring& name) noexcept
{
    const TYPEDESC* pointee = &type;
    int depth = 0;
    while (pointee->vt == VT_PTR && pointee->lptdesc && depth < 2) {
        pointee = pointee->lptdesc;
        ++depth;
    }
    if (depth == 0 || pointee->vt != VT_USERDEFINED) return false;
    com_ptr<ITypeInfo> target;
    if (FAILED(vtable.GetRefTypeInfo(pointee->hreftype, target.put()))) return false;
    TYPEATTR* attributes = nullptr;
    if (FAILED(target->GetTypeAttr(&attributes))) return false;
    const bool is_interface = attributes->typekind == TKIND_INTERFACE || attributes->typekind == TKIND_DISPATCH;
    iid = attributes->guid;
    target->ReleaseTypeAttr(attributes);
    bstr type_name;
    if (SUCCEEDED(target->GetDocumentation(MEMBERID_NIL, type_name.put(), nullptr, nullptr, nullptr)))
        name = type_name.str();
    return is_interface;
}

HRESULT refuse(HRESULT code, std::wstring_view description) noexcept
{
    ::SetErrorInfo(0, make_error_info(L"IDispatch", description).get());
    return code;
}

HRESULT refuse_argument(HRESULT code, UINT index, UINT* argument_error, std::wstring_view description) noexcept
{
    if (argument_error) *argument_error = index;
    return refuse(code, description);
}

std::wstring parameter_name(ITypeInfo& vtable, const FUNCDESC& desc, UINT parameter)
{
    // Names: the member's first, then its parameters'.
    BSTR names[32] = {};
    UINT count = 0;
    vtable.GetNames(desc.memid, names, 32, &count);
    std::wstring name = parameter + 1 < count ? std::wstring(bstr::view_of(names[parameter + 1])) : std::wstring();
    for (UINT i = 0; i < count; ++i)
        ::SysFreeString(names[i]);
    return name.empty() ? L"#" + std::to_wstring(parameter + 1) : name;
}

} // namespace

HRESULT check_names_request(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) noexcept
{
    if (iid != IID_NULL) return refuse(DISP_E_UNKNOWNINTERFACE, L"GetIDsOfNames takes IID_NULL.");
    if (count == 0 || !names || !ids) return refuse(E_INVALIDARG, L"GetIDsOfNames needs names and room for their IDs.");
    for (UINT i = 0; i < count; ++i) {
        if (!names[i]) return refuse(E_INVALIDARG, L"GetIDsOfNames was given a null name.");
    }
    return S_OK;
}

HRESULT check_invoke_request(ITypeInfo& vtable, DISPID id, REFIID iid, WORD flags, const DISPPARAMS* params,
                             UINT* argument_error) noexcept
{
    try {
        if (iid != IID_NULL) return refuse(DISP_E_UNKNOWNINTERFACE, L"Invoke takes IID_NULL.");
        if (!params) return refuse(E_INVALIDARG, L"Invoke needs its arguments (DISPPARAMS).");
        if (params->cArgs > 0 && !params->rgvarg) return refuse(E_INVALIDARG, L"Invoke was given no argument array.");
        if (params->cNamedArgs > 0 && !params->rgdispidNamedArgs)
            return refuse(E_INVALIDARG, L"Invoke was given no array of named argument IDs.");
        if (params->cNamedArgs > params->cArgs) return refuse(E_INVALIDARG, L"More named arguments than arguments.");

        const func_desc desc = find_member(vtable, id, flags);
        if (!desc) return refuse(DISP_E_MEMBERNOTFOUND, L"The object has no such member for this kind of call.");

        const bool put = desc->invkind == INVOKE_PROPERTYPUT || desc->invkind == INVOKE_PROPERTYPUTREF;
        UINT takes = static_cast<UINT>(desc->cParams);
        if (takes > 0 && (desc->lprgelemdescParam[takes - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL)) --takes;
        UINT optional = 0;
        for (UINT i = 0; i < takes; ++i) {
            const USHORT parameter_flags = desc->lprgelemdescParam[i].paramdesc.wParamFlags;
            if (parameter_flags & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT)) ++optional;
        }
        const bool any_count = desc->cParamsOpt == -1;
        if (!any_count && (params->cArgs > takes || params->cArgs + optional < takes))
            return refuse(DISP_E_BADPARAMCOUNT, L"The member takes " + std::to_wstring(takes) + L" argument(s), not " +
                                                    std::to_wstring(params->cArgs) + L".");

        // Where each argument goes: named ones first in rgvarg, the rest in reverse order.
        const UINT named = params->cNamedArgs;
        const UINT positional = params->cArgs - named;
        bool seen[64] = {};
        for (UINT j = 0; j < named; ++j) {
            const DISPID target = params->rgdispidNamedArgs[j];
            const bool valid = put ? target == DISPID_PROPERTYPUT
                                   : target >= static_cast<DISPID>(positional) && target < static_cast<DISPID>(takes) &&
                                         target < 64 && !seen[target];
            if (!valid)
                return refuse_argument(DISP_E_PARAMNOTFOUND, j, argument_error,
                                       L"The member has no parameter with the named argument's ID " +
                                           std::to_wstring(target) + L".");
            if (!put) seen[target] = true;
        }

        for (UINT slot = 0; slot < params->cArgs; ++slot) {
            if ((params->rgvarg[slot].vt & VT_BYREF) && !params->rgvarg[slot].byref)
                return refuse_argument(E_INVALIDARG, slot, argument_error,
                                       L"An argument passed by reference points nowhere.");
        }
        for (UINT slot = 0; slot < params->cArgs; ++slot) {
            UINT parameter = 0;
            if (slot < named)
                parameter = put ? takes - 1 : static_cast<UINT>(params->rgdispidNamedArgs[slot]);
            else
                parameter = params->cArgs - 1 - slot;
            if (parameter >= takes) continue;
            IID wanted{};
            std::wstring type_name;
            if (!wanted_interface(desc.owner(), desc->lprgelemdescParam[parameter].tdesc, wanted, type_name)) continue;
            IUnknown* object = object_in(params->rgvarg[slot]);
            if (!object) continue;
            com_ptr<IUnknown> answered;
            if (SUCCEEDED(object->QueryInterface(wanted, answered.put_void()))) continue;
            return refuse_argument(DISP_E_TYPEMISMATCH, slot, argument_error,
                                   L"Argument " + parameter_name(desc.owner(), desc.get(), parameter) + L" is not a " +
                                       type_name + L".");
        }
        return S_OK;
    } catch (...) {
        return refuse(E_OUTOFMEMORY, L"Out of memory.");
    }
}

} // namespace com
