#include "json_scan.h"

#include <limits>

namespace planner::json_scan {

namespace {

bool is_space(char c) noexcept { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

// A byte that stands for itself inside a string: printable ASCII but the quote and the backslash.
bool is_plain(unsigned char c) noexcept { return c >= 0x20 && c < 0x80 && c != '"' && c != '\\'; }

bool is_continuation(unsigned char c) noexcept { return (c & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence at `at` (lead byte 0x80 or above), or 0.
std::size_t utf8_length(const unsigned char* at, const unsigned char* end) noexcept
{
    const unsigned char lead = at[0];
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;  // no overlong forms
        if (lead == 0xED) high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;  // no overlong forms
        if (lead == 0xF4) high = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - at) < length || at[1] < low || at[1] > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (!is_continuation(at[i])) return 0;
    return length;
}

int hex_digit(char c) noexcept
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Four hex digits after "\u"; -1 when they are not.
long hex4(const char* at, const char* end) noexcept
{
    if (end - at < 4) return -1;
    long value = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = hex_digit(at[i]);
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}

void append_utf8(std::string& out, unsigned long code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The character that a one-letter escape stands for; 0 for any other letter.
char unescaped(char letter) noexcept
{
    switch (letter) {
    case '"':
    case '\\':
    case '/':
        return letter;
    case 'b':
        return '\b';
    case 'f':
        return '\f';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    default:
        return 0;
    }
}

// An escape after its backslash; appends what it stands for.
const char* escape(const char* at, const char* end, std::string& out)
{
    if (at == end) return nullptr;
    if (*at != 'u') {
        const char letter = unescaped(*at);
        if (!letter) return nullptr;
        out += letter;
        return at + 1;
    }
    const long code = hex4(at + 1, end);
    if (code < 0) return nullptr;
    at += 5;
    if (code < 0xD800 || code > 0xDFFF) {
        append_utf8(out, static_cast<unsigned long>(code));
        return at;
    }
    // Only a high surrogate followed by a low one makes a character.
    if (code > 0xDBFF || end - at < 6 || at[0] != '\\' || at[1] != 'u') return nullptr;
    const long low = hex4(at + 2, end);
    if (low < 0xDC00 || low > 0xDFFF) return nullptr;
    append_utf8(out, 0x10000 + ((static_cast<unsigned long>(code) - 0xD800) << 10) +
                         (static_cast<unsigned long>(low) - 0xDC00));
    return at + 6;
}

} // namespace

const char* skip_space(const char* at, const char* end) noexcept
{
    while (at != end && is_space(*at))
        ++at;
    return at;
}

const char* string(const char* at, const char* end, std::string& out)
{
    for (;;) {
        const char* run = at;
        while (at != end && is_plain(static_cast<unsigned char>(*at)))
            ++at;
        out.append(run, static_cast<std::size_t>(at - run));
        if (at == end) return nullptr;
        const auto c = static_cast<unsigned char>(*at);
        if (c == '"') return at + 1;
        if (c == '\\') {
            at = escape(at + 1, end, out);
            if (!at) return nullptr;
        } else if (c >= 0x80) {
            const std::size_t length =
                utf8_length(reinterpret_cast<const unsigned char*>(at), reinterpret_cast<const unsigned char*>(end));
            if (length == 0) return nullptr;
            out.append(at, length);
            at += length;
        } else {
            return nullptr; // a control character
        }
    }
}

const char* plain_string(const char* at, const char* end) noexcept
{
    while (at != end && is_plain(static_cast<unsigned char>(*at)))
        ++at;
    return at != end && *at == '"' ? at + 1 : nullptr;
}

const char* int32(const char* at, const char* end, std::int32_t& out) noexcept
{
    const bool negative = at != end && *at == '-';
    if (negative) ++at;
    const char* const digits = at;
    std::int64_t value = 0;
    while (at != end && *at >= '0' && *at <= '9' && at - digits < 11)
        value = value * 10 + (*at++ - '0');
    const auto count = at - digits;
    // No leading zero, nothing of a fraction or an exponent, and within 32 bits.
    if (count == 0 || count > 10 || (count > 1 && *digits == '0')) return nullptr;
    if (at != end && (*at == '.' || *at == 'e' || *at == 'E' || (*at >= '0' && *at <= '9'))) return nullptr;
    if (negative) value = -value;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return nullptr;
    out = static_cast<std::int32_t>(value);
    return at;
}

} // namespace planner::json_scan
