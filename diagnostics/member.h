#pragma once
// One public member of a component class: the COM boundary, the Enter line, the
// work, the Leave line, and the result handed out only after the Leave line, so
// that a failing Leave line hands out nothing. Every public member goes through
// here, including its check of the out-parameter, so that every failure reaches
// the caller with error information.

#include "trace.h"

#include "com/bstr.h"
#include "com/error.h"

#include <oaidl.h>

#include <string_view>
#include <type_traits>

namespace diagnostics {

namespace detail {

template <class T> struct is_com_ptr : std::false_type {};
template <class T> struct is_com_ptr<com::com_ptr<T>> : std::true_type {};

template <class Out, class Result> void hand_out(Out* out, Result&& result)
{
    using R = std::remove_cvref_t<Result>;
    if constexpr (is_com_ptr<R>::value || std::is_same_v<R, com::bstr>)
        *out = result.detach();
    else if constexpr (std::is_same_v<Out, VARIANT_BOOL> && std::is_same_v<R, bool>)
        *out = result ? VARIANT_TRUE : VARIANT_FALSE;
    else
        *out = result;
}

} // namespace detail

// Fails with E_POINTER, reported for `class_label`, when a caller passes no
// place for the result.
inline void require_out(const void* out, std::wstring_view class_label)
{
    if (!out) com::throw_with_new_info(E_POINTER, class_label, L"No place for the result was given (a null pointer).");
}

// A member without a result.
template <class Work>
HRESULT traced_member(std::wstring_view class_label, std::wstring_view member_label, Work&& work) noexcept
{
    return com::boundary(class_label, [&] {
        static_assert(std::is_void_v<std::invoke_result_t<Work>>, "a member without an out-parameter returns nothing");
        traced(class_label, member_label, work);
    });
}

// A member with one out-parameter, filled with what `work` returns (a value, a
// com::bstr or a com::com_ptr).
template <class Out, class Work>
HRESULT traced_member(std::wstring_view class_label, std::wstring_view member_label, Out* out, Work&& work) noexcept
{
    return com::boundary(class_label, [&] {
        require_out(out, class_label);
        *out = Out{};
        detail::hand_out(out, traced(class_label, member_label, work));
    });
}

} // namespace diagnostics
