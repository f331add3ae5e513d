#pragma once
// Tokenize (module modCommonFunctions): splits a text at a delimiter.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace common {

// The pieces between the occurrences of the delimiter, found regardless of
// letter case. Empty pieces are dropped except the last one, so a leading or a
// doubled delimiter gives no empty piece, a trailing one gives an empty last
// piece, and an empty text gives one empty piece. An empty delimiter occurs
// nowhere. Traced; a failure of its own work is handled here and gives no list,
// which callers take as an empty one.
std::optional<std::vector<std::wstring>> Tokenize(std::wstring_view text, std::wstring_view delimiter);

} // namespace common
