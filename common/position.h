#pragma once
// The position tests of the component's iterators (module modCommonFunctions).

#include "keyed_table.h"

#include <cstdint>
#include <string_view>

namespace common {

inline constexpr std::wstring_view module_label = L"modCommonFunctions";

// Forward test: true when position + 1 is less than the count. Traced.
bool HasNext(std::int32_t position, std::size_t count);

// The forward test on a table; the count is read from the live table.
template <class Key, class Value> bool HasNext(std::int32_t position, const keyed_table<Key, Value>& table)
{
    return HasNext(position, table.count());
}

// Reverse test: true when position - 1 is at least 0. Traced.
bool HasNext(std::int32_t position);

// The next position, failing with Overflow (reported for `class_label`) instead of wrapping.
std::int32_t next_position(std::int32_t position, std::wstring_view class_label);
std::int32_t previous_position(std::int32_t position, std::wstring_view class_label);

} // namespace common
