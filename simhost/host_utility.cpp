#include "host_utility.h"

#include "error_messages.h"
#include "object_source.h"
#include "service_call.h"
#include "settings.h"
#include "variant_text.h"

#include <com/bstr.h>
#include <com/error.h>
#include <com/safearray.h>

namespace simhost {

namespace {

bool is_object(const VARIANT& value) noexcept { return value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN; }

// Compares values passed by reference as the values they refer to.
bool values_equal(const VARIANT& first_argument, const VARIANT& second_argument)
{
    com::variant first, second;
    com::check(::VariantCopyInd(first.put(), const_cast<VARIANT*>(&first_argument)));
    com::check(::VariantCopyInd(second.put(), const_cast<VARIANT*>(&second_argument)));
    const VARIANT& a = *first.get();
    const VARIANT& b = *second.get();
    if (is_object(a) || is_object(b)) {
        return is_object(a) && is_object(b) && com::identity_of(a.punkVal) == com::identity_of(b.punkVal);
    }
    if (a.vt == VT_BSTR && b.vt == VT_BSTR) return com::bstr::view_of(a.bstrVal) == com::bstr::view_of(b.bstrVal);
    return ::VarCmp(first.get(), second.get(), LOCALE_INVARIANT, 0) == static_cast<HRESULT>(VARCMP_EQ);
}

} // namespace

HRESULT host_utility::RaiseError(LONG* code, BSTR* source, SAFEARRAY** arguments) noexcept
{
    return guard([&] {
        const SAFEARRAY* inserts = arguments ? *arguments : nullptr;
        enter(operation::utility_raise_error,
              {number_or_null(code), source ? com::bstr::view_of(*source) : L"null", array_text(inserts)});
        require(code);
        require(source);
        if (raise_error_succeeds()) return;
        const auto failure = static_cast<HRESULT>(0x800A0000UL | (static_cast<unsigned long>(*code) & 0xFFFFUL));
        com::throw_with_new_info(failure, com::bstr::view_of(*source), error_message(*code, texts_of(inserts)));
    });
}

HRESULT host_utility::DescribeCategory(LONG* category, BSTR* text) noexcept
{
    return guard([&] {
        answer_number(operation::utility_describe_category, category, text,
                      [](long number) { return L"Category " + number_text(number); });
    });
}

HRESULT host_utility::CategoryOfType(LONG* type_code, LONG* category) noexcept
{
    return guard([&] { answer_number(operation::utility_category_of_type, type_code, category, category_of_type); });
}

HRESULT host_utility::DescribeAclOption(LONG* option, BSTR* text) noexcept
{
    return guard([&] { answer_number(operation::utility_describe_acl_option, option, text, number_text); });
}

HRESULT host_utility::ValuesEqual(VARIANT first, VARIANT second, LONG options, VARIANT_BOOL* equal) noexcept
{
    return guard([&] {
        enter(operation::utility_values_equal, {text_of(first), text_of(second), number_text(options)});
        require(equal);
        *equal = com::to_variant_bool(values_equal(first, second));
    });
}

HRESULT host_utility::SourceFlag(ObjectSource2** source, VARIANT_BOOL* flag) noexcept
{
    return guard([&] {
        enter(operation::utility_source_flag, {source && *source ? L"object" : L"null"});
        require(flag);
        const std::optional<bool> known = source && *source ? source_flag_of(*source) : std::nullopt;
        *flag = com::to_variant_bool(known.value_or(false));
    });
}

} // namespace simhost
