#pragma once
// The pieces of JSON text that a plan's objects are made of, read the quick
// way. Each reader handles the plain, well-formed case and returns the position
// after what it read; it returns nullptr for anything else (an error, an
// unusual form), so that the caller can leave that text to the general reader,
// which has the last word on it.

#include <cstdint>
#include <string>

namespace planner::json_scan {

// Past any JSON whitespace (space, tab, line feed, carriage return).
const char* skip_space(const char* at, const char* end) noexcept;

// A string's contents after its opening quote, decoded and appended to `out`:
// the escapes, \u escapes with surrogate pairs, and UTF-8 checked as well-formed.
// Returns the position after the closing quote.
const char* string(const char* at, const char* end, std::string& out);

// A string after its opening quote with no escape and only ASCII (a field's
// name), as the range [at, returned position - 1).
const char* plain_string(const char* at, const char* end) noexcept;

// An integer in JSON's form (no fraction, no exponent) that fits 32 bits.
const char* int32(const char* at, const char* end, std::int32_t& out) noexcept;

} // namespace planner::json_scan
