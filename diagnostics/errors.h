#pragma once
// Numbered errors and the runtime faults that the component reports itself.

#include <initializer_list>
#include <string_view>

namespace diagnostics {

// The numbered errors the component raises, each with its class as source.
inline constexpr long ErrCategoryRuleExists = 63600;   // CMergeRules, insert: the category's text
inline constexpr long ErrTypeRuleExists = 63601;       // CMergeRules, insert: the type's text
inline constexpr long ErrObjectRuleExists = 63602;     // CMergeRules, insert: the object ID
inline constexpr long ErrInvalidCopyAclOption = 63604; // CMergeOptions, insert: the option's text
inline constexpr long ErrLogSettingExists = 63609;     // CLogSettings, insert: the file name
inline constexpr long ErrLogFileEmpty = 63610;         // CLogSettings, no insert
inline constexpr long ErrFolderRuleExists = 63630;     // CMergeRules, insert: the path

// Raises a numbered error through the thread's HostUtility, which fails with
// 0x800A0000 | number, the source and its message with the inserts. The failure
// is thrown with the utility's error information or, when it set none, with one
// that names the number and carries the inserts. Should the utility return
// normally, so does this.
void raise_error(long number, std::wstring_view source, std::initializer_list<std::wstring_view> inserts);

// Automation runtime faults, as 0x800A0000 | number with error information that
// names the class.
[[noreturn]] void raise_overflow(std::wstring_view class_name);
[[noreturn]] void raise_subscript_out_of_range(std::wstring_view class_name);

// 0x800A0000 | number: how numbered errors reach automation clients.
constexpr long error_hresult(long number) noexcept
{
    return static_cast<long>(0x800A0000UL | (static_cast<unsigned long>(number) & 0xFFFFUL));
}

} // namespace diagnostics
