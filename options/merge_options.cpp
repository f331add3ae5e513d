#include "merge_options.h"

#include "diagnostics/errors.h"
#include "diagnostics/setup.h"
#include "diagnostics/member.h"
#include "diagnostics/trace.h"
#include "diagnostics/traced_property.h"
#include "diagnostics/thread_services.h"

#include "com/bstr.h"
#include "com/error.h"

namespace options {

namespace {

using diagnostics::traced;

} // namespace

CMergeOptions::CMergeOptions()
{
    diagnostics::ensure_thread_setup();
    traced(class_label, L"Class_Initialize", [] {});
}

HRESULT CMergeOptions::put_owned(std::wstring_view label, LONG& option, LONG value) noexcept
{
    return diagnostics::put_traced(class_label, label, option, value);
}

HRESULT CMergeOptions::get_owned(std::wstring_view label, const LONG& option, LONG* value) noexcept
{
    return diagnostics::get_traced(class_label, label, option, value);
}

HRESULT CMergeOptions::put_copy_acl_option(LONG value) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQMergeOptions_CopyACLOption", [&] {
        if (value < 1 || value > 2) {
            LONG option = value;
            com::bstr text;
            IHostUtility& utility = diagnostics::host_utility();
            com::check(utility.DescribeAclOption(&option, text.put()), &utility);
            diagnostics::raise_error(diagnostics::ErrInvalidCopyAclOption, class_label, {text.view()});
            return; // the rejected value is never stored, even if the raise returns
        }
        copy_acl_option = value;
    });
}

template <class Owner>
HRESULT CMergeOptions::put_forwarded(std::wstring_view label, HRESULT (STDMETHODCALLTYPE Owner::*put)(LONG),
                                     LONG value) noexcept
{
    return diagnostics::traced_member(class_label, label,
                                      [&] { com::check((static_cast<Owner*>(this)->*put)(value)); });
}

template <class Owner>
HRESULT CMergeOptions::get_forwarded(std::wstring_view label, HRESULT (STDMETHODCALLTYPE Owner::*get)(LONG*),
                                     LONG* value) noexcept
{
    return diagnostics::traced_member(class_label, label, value, [&] {
        LONG result = 0;
        com::check((static_cast<Owner*>(this)->*get)(&result));
        return result;
    });
}

// ---- IKSQMergeOptions: owns CopyACLOption ----

CMergeOptions& MergeOptions1::self() noexcept { return static_cast<CMergeOptions&>(*this); }

HRESULT MergeOptions1::put_CopyACLOption(LONG value) noexcept { return self().put_copy_acl_option(value); }
HRESULT MergeOptions1::get_CopyACLOption(LONG* value) noexcept
{
    return self().get_owned(L"IKSQMergeOptions_CopyACLOption", self().copy_acl_option, value);
}

// ---- IKSQMergeOptions2: owns ResolutionMethod and UserMergeOptions ----

CMergeOptions& MergeOptions2::self() noexcept { return static_cast<CMergeOptions&>(*this); }

HRESULT MergeOptions2::put_CopyACLOption(LONG value) noexcept
{
    return self().put_forwarded(L"IKSQMergeOptions2_CopyACLOption", &IKSQMergeOptions::put_CopyACLOption, value);
}
HRESULT MergeOptions2::get_CopyACLOption(LONG* value) noexcept
{
    return self().get_forwarded(L"IKSQMergeOptions2_CopyACLOption", &IKSQMergeOptions::get_CopyACLOption, value);
}
HRESULT MergeOptions2::put_ResolutionMethod(LONG value) noexcept
{
    return self().put_owned(L"IKSQMergeOptions2_ResolutionMethod", self().resolution_method, value);
}
HRESULT MergeOptions2::get_ResolutionMethod(LONG* value) noexcept
{
    return self().get_owned(L"IKSQMergeOptions2_ResolutionMethod", self().resolution_method, value);
}
HRESULT MergeOptions2::put_UserMergeOptions(LONG value) noexcept
{
    return self().put_owned(L"IKSQMergeOptions2_UserMergeOptions", self().user_merge_options, value);
}
HRESULT MergeOptions2::get_UserMergeOptions(LONG* value) noexcept
{
    return self().get_owned(L"IKSQMergeOptions2_UserMergeOptions", self().user_merge_options, value);
}

// ---- IKSQTransvaneOptions: owns CopyFolder ----

CMergeOptions& TransvaneOptions::self() noexcept { return static_cast<CMergeOptions&>(*this); }

HRESULT TransvaneOptions::get_CopyFolder(LONG* value) noexcept
{
    return self().get_owned(L"IKSQTransvaneOptions_CopyFolder", self().copy_folder, value);
}
HRESULT TransvaneOptions::put_CopyFolder(LONG value) noexcept
{
    return self().put_owned(L"IKSQTransvaneOptions_CopyFolder", self().copy_folder, value);
}

// ---- IKSQMergeOptions3: owns MapSchemaObjectsSetting ----

CMergeOptions& MergeOptions3::self() noexcept { return static_cast<CMergeOptions&>(*this); }

HRESULT MergeOptions3::put_CopyACLOption(LONG value) noexcept
{
    return self().put_forwarded(L"IKSQMergeOptions3_CopyACLOption", &IKSQMergeOptions::put_CopyACLOption, value);
}
HRESULT MergeOptions3::get_CopyACLOption(LONG* value) noexcept
{
    return self().get_forwarded(L"IKSQMergeOptions3_CopyACLOption", &IKSQMergeOptions::get_CopyACLOption, value);
}
HRESULT MergeOptions3::put_ResolutionMethod(LONG value) noexcept
{
    return self().put_forwarded(L"IKSQMergeOptions3_ResolutionMethod", &IKSQMergeOptions2::put_ResolutionMethod, value);
}
HRESULT MergeOptions3::get_ResolutionMethod(LONG* value) noexcept
{
    return self().get_forwarded(L"IKSQMergeOptions3_ResolutionMethod", &IKSQMergeOptions2::get_ResolutionMethod, value);
}
HRESULT MergeOptions3::put_UserMergeOptions(LONG value) noexcept
{
    return self().put_forwarded(L"IKSQMergeOptions3_UserMergeOptions", &IKSQMergeOptions2::put_UserMergeOptions, value);
}
HRESULT MergeOptions3::get_UserMergeOptions(LONG* value) noexcept
{
    return self().get_forwarded(L"IKSQMergeOptions3_UserMergeOptions", &IKSQMergeOptions2::get_UserMergeOptions, value);
}
HRESULT MergeOptions3::put_MapSchemaObjectsSetting(LONG value) noexcept
{
    return self().put_owned(L"IKSQMergeOptions3_MapSchemaObjectsSetting", self().map_schema_objects_setting, value);
}
HRESULT MergeOptions3::get_MapSchemaObjectsSetting(LONG* value) noexcept
{
    return self().get_owned(L"IKSQMergeOptions3_MapSchemaObjectsSetting", self().map_schema_objects_setting, value);
}

// ---- IKSQMergeOptions4: owns UpdateSchemaOption and LockTakeOverOption ----

CMergeOptions& MergeOptions4::self() noexcept { return static_cast<CMergeOptions&>(*this); }

HRESULT MergeOptions4::put_CopyACLOption(LONG value) noexcept
{
    return self().put_forwarded(L"IKSQMergeOptions4_CopyACLOption", &IKSQMergeOptions::put_CopyACLOption, value);
}
HRESULT MergeOptions4::get_CopyACLOption(LONG* value) noexcept
{
    return self().get_forwarded(L"IKSQMergeOptions4_CopyACLOption", &IKSQMergeOptions::get_CopyACLOption, value);
}
HRESULT MergeOptions4::put_ResolutionMethod(LONG value) noexcept
{
    return self().put_forwarded(L"IKSQMergeOptions4_ResolutionMethod", &IKSQMergeOptions2::put_ResolutionMethod, value);
}
HRESULT MergeOptions4::get_ResolutionMethod(LONG* value) noexcept
{
    return self().get_forwarded(L"IKSQMergeOptions4_ResolutionMethod", &IKSQMergeOptions2::get_ResolutionMethod, value);
}
HRESULT MergeOptions4::put_UserMergeOptions(LONG value) noexcept
{
    return self().put_forwarded(L"IKSQMergeOptions4_UserMergeOptions", &IKSQMergeOptions2::put_UserMergeOptions, value);
}
HRESULT MergeOptions4::get_UserMergeOptions(LONG* value) noexcept
{
    return self().get_forwarded(L"IKSQMergeOptions4_UserMergeOptions", &IKSQMergeOptions2::get_UserMergeOptions, value);
}
HRESULT MergeOptions4::put_MapSchemaObjectsSetting(LONG value) noexcept
{
    return self().put_forwarded(L"IKSQMergeOptions4_MapSchemaObjectsSetting",
                                &IKSQMergeOptions3::put_MapSchemaObjectsSetting, value);
}
HRESULT MergeOptions4::get_MapSchemaObjectsSetting(LONG* value) noexcept
{
    return self().get_forwarded(L"IKSQMergeOptions4_MapSchemaObjectsSetting",
                                &IKSQMergeOptions3::get_MapSchemaObjectsSetting, value);
}
HRESULT MergeOptions4::put_UpdateSchemaOption(LONG value) noexcept
{
    return self().put_owned(L"IKSQMergeOptions4_UpdateSchemaOption", self().update_schema_option, value);
}
HRESULT MergeOptions4::get_UpdateSchemaOption(LONG* value) noexcept
{
    return self().get_owned(L"IKSQMergeOptions4_UpdateSchemaOption", self().update_schema_option, value);
}
HRESULT MergeOptions4::put_LockTakeOverOption(LONG value) noexcept
{
    return self().put_owned(L"IKSQMergeOptions4_LockTakeOverOption", self().lock_take_over_option, value);
}
HRESULT MergeOptions4::get_LockTakeOverOption(LONG* value) noexcept
{
    return self().get_owned(L"IKSQMergeOptions4_LockTakeOverOption", self().lock_take_over_option, value);
}

// ---- IKSQMergeOptions5: owns TVOnOffMergeOptions ----

CMergeOptions& MergeOptions5::self() noexcept { return static_cast<CMergeOptions&>(*this); }

HRESULT MergeOptions5::put_CopyACLOption(LONG value) noexcept
{
    return self().put_forwarded(L"IKSQMergeOptions5_CopyACLOption", &IKSQMergeOptions::put_CopyACLOption, value);
}
HRESULT MergeOptions5::get_CopyACLOption(LONG* value) noexcept
{
    return self().get_forwarded(L"IKSQMergeOptions5_CopyACLOption", &IKSQMergeOptions::get_CopyACLOption, value);
}
HRESULT MergeOptions5::put_ResolutionMethod(LONG value) noexcept
{
    return self().put_forwarded(L"IKSQMergeOptions5_ResolutionMethod", &IKSQMergeOptions2::put_ResolutionMethod, value);
}
HRESULT MergeOptions5::get_ResolutionMethod(LONG* value) noexcept
{
    return self().get_forwarded(L"IKSQMergeOptions5_ResolutionMethod", &IKSQMergeOptions2::get_ResolutionMethod, value);
}
HRESULT MergeOptions5::put_UserMergeOptions(LONG value) noexcept
{
    return self().put_forwarded(L"IKSQMergeOptions5_UserMergeOptions", &IKSQMergeOptions2::put_UserMergeOptions, value);
}
HRESULT MergeOptions5::get_UserMergeOptions(LONG* value) noexcept
{
    return self().get_forwarded(L"IKSQMergeOptions5_UserMergeOptions", &IKSQMergeOptions2::get_UserMergeOptions, value);
}
HRESULT MergeOptions5::put_MapSchemaObjectsSetting(LONG value) noexcept
{
    return self().put_forwarded(L"IKSQMergeOptions5_MapSchemaObjectsSetting",
                                &IKSQMergeOptions3::put_MapSchemaObjectsSetting, value);
}
HRESULT MergeOptions5::get_MapSchemaObjectsSetting(LONG* value) noexcept
{
    return self().get_forwarded(L"IKSQMergeOptions5_MapSchemaObjectsSetting",
                                &IKSQMergeOptions3::get_MapSchemaObjectsSetting, value);
}
HRESULT MergeOptions5::put_UpdateSchemaOption(LONG value) noexcept
{
    return self().put_forwarded(L"IKSQMergeOptions5_UpdateSchemaOption", &IKSQMergeOptions4::put_UpdateSchemaOption,
                                value);
}
HRESULT MergeOptions5::get_UpdateSchemaOption(LONG* value) noexcept
{
    return self().get_forwarded(L"IKSQMergeOptions5_UpdateSchemaOption", &IKSQMergeOptions4::get_UpdateSchemaOption,
                                value);
}
HRESULT MergeOptions5::put_LockTakeOverOption(LONG value) noexcept
{
    return self().put_forwarded(L"IKSQMergeOptions5_LockTakeOverOption", &IKSQMergeOptions4::put_LockTakeOverOption,
                                value);
}
HRESULT MergeOptions5::get_LockTakeOverOption(LONG* value) noexcept
{
    return self().get_forwarded(L"IKSQMergeOptions5_LockTakeOverOption", &IKSQMergeOptions4::get_LockTakeOverOption,
                                value);
}
HRESULT MergeOptions5::put_TVOnOffMergeOptions(LONG value) noexcept
{
    return self().put_owned(L"IKSQMergeOptions5_TVOnOffMergeOptions", self().tv_on_off_merge_options, value);
}
HRESULT MergeOptions5::get_TVOnOffMergeOptions(LONG* value) noexcept
{
    return self().get_owned(L"IKSQMergeOptions5_TVOnOffMergeOptions", self().tv_on_off_merge_options, value);
}

} // namespace options
