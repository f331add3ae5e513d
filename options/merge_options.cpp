#include "merge_options.h"

#include "diagnostics/errors.h"
#include "diagnostics/setup.h"
#include "diagnostics/member.h"
#include "diagnostics/trace.h"
#include "diagnostics/traced_property.h"
#include "diagnostics/thread_services.h"

#include "com/bstr.h"
#include "com/error.h"

#include <iterator>
#include <type_traits>

namespace options {

namespace {

using diagnostics::traced;

// "<Interface>_<Member>", the label a version traces a member under.
template <label_text Interface, label_text Member> struct joined_label {
    static constexpr std::size_t interface_size = std::size(Interface.chars) - 1;
    static constexpr std::size_t member_size = std::size(Member.chars) - 1;

    constexpr joined_label()
    {
        std::copy_n(Interface.chars, interface_size, chars);
        chars[interface_size] = L'_';
        std::copy_n(Member.chars, member_size, chars + interface_size + 1);
    }
    constexpr std::wstring_view view() const { return {chars, interface_size + 1 + member_size}; }

    wchar_t chars[interface_size + 1 + member_size]{};
};
template <label_text Interface, label_text Member> constexpr joined_label<Interface, Member> member_label{};

} // namespace

CMergeOptions::CMergeOptions()
{
    diagnostics::ensure_thread_setup();
    traced(class_label, L"Class_Initialize", [] {});
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

// ---- The versions of IKSQMergeOptions ----

template <class I, label_text Name> CMergeOptions& Version1Options<I, Name>::self() noexcept
{
    return static_cast<CMergeOptions&>(*this);
}

template <class I, label_text Name>
template <label_text Member, class Owner>
HRESULT Version1Options<I, Name>::put_option(LONG CMergeOptions::*field,
                                             HRESULT (STDMETHODCALLTYPE Owner::*owner_put)(LONG), LONG value) noexcept
{
    constexpr std::wstring_view label = member_label<Name, Member>.view();
    if constexpr (std::is_same_v<I, Owner>) {
        return diagnostics::put_traced(CMergeOptions::class_label, label, self().*field, value);
    } else {
        return diagnostics::traced_member(CMergeOptions::class_label, label,
                                          [&] { com::check((static_cast<Owner&>(self()).*owner_put)(value)); });
    }
}

template <class I, label_text Name>
template <label_text Member, class Owner>
HRESULT Version1Options<I, Name>::get_option(LONG CMergeOptions::*field,
                                             HRESULT (STDMETHODCALLTYPE Owner::*owner_get)(LONG*), LONG* value) noexcept
{
    constexpr std::wstring_view label = member_label<Name, Member>.view();
    if constexpr (std::is_same_v<I, Owner>) {
        return diagnostics::get_traced(CMergeOptions::class_label, label, self().*field, value);
    } else {
        return diagnostics::traced_member(CMergeOptions::class_label, label, value, [&] {
            LONG result = 0;
            com::check((static_cast<Owner&>(self()).*owner_get)(&result));
            return result;
        });
    }
}

template <class I, label_text Name> HRESULT Version1Options<I, Name>::put_CopyACLOption(LONG value) noexcept
{
    if constexpr (std::is_same_v<I, IKSQMergeOptions>)
        return self().put_copy_acl_option(value);
    else
        return put_option<L"CopyACLOption">(&CMergeOptions::copy_acl_option, &IKSQMergeOptions::put_CopyACLOption,
                                            value);
}
template <class I, label_text Name> HRESULT Version1Options<I, Name>::get_CopyACLOption(LONG* value) noexcept
{
    return get_option<L"CopyACLOption">(&CMergeOptions::copy_acl_option, &IKSQMergeOptions::get_CopyACLOption, value);
}

// The accessors of Option on a version template: the option that interface Owner
// brought, stored in `field`.
#define MERGE_OPTION_ACCESSORS(Version, Option, field, Owner)                                                          \
    template <class I, label_text Name> HRESULT Version<I, Name>::put_##Option(LONG value) noexcept                    \
    {                                                                                                                  \
        return this->template put_option<L"" #Option>(&CMergeOptions::field, &Owner::put_##Option, value);             \
    }                                                                                                                  \
    template <class I, label_text Name> HRESULT Version<I, Name>::get_##Option(LONG* value) noexcept                   \
    {                                                                                                                  \
        return this->template get_option<L"" #Option>(&CMergeOptions::field, &Owner::get_##Option, value);             \
    }

MERGE_OPTION_ACCESSORS(Version2Options, ResolutionMethod, resolution_method, IKSQMergeOptions2)
MERGE_OPTION_ACCESSORS(Version2Options, UserMergeOptions, user_merge_options, IKSQMergeOptions2)
MERGE_OPTION_ACCESSORS(Version3Options, MapSchemaObjectsSetting, map_schema_objects_setting, IKSQMergeOptions3)
MERGE_OPTION_ACCESSORS(Version4Options, UpdateSchemaOption, update_schema_option, IKSQMergeOptions4)
MERGE_OPTION_ACCESSORS(Version4Options, LockTakeOverOption, lock_take_over_option, IKSQMergeOptions4)
MERGE_OPTION_ACCESSORS(Version5Options, TVOnOffMergeOptions, tv_on_off_merge_options, IKSQMergeOptions5)

#undef MERGE_OPTION_ACCESSORS

// ---- IKSQTransvaneOptions: owns CopyFolder ----

HRESULT TransvaneOptions::get_CopyFolder(LONG* value) noexcept
{
    return diagnostics::get_traced(CMergeOptions::class_label, L"IKSQTransvaneOptions_CopyFolder",
                                   static_cast<CMergeOptions&>(*this).copy_folder, value);
}
HRESULT TransvaneOptions::put_CopyFolder(LONG value) noexcept
{
    return diagnostics::put_traced(CMergeOptions::class_label, L"IKSQTransvaneOptions_CopyFolder",
                                   static_cast<CMergeOptions&>(*this).copy_folder, value);
}

} // namespace options
