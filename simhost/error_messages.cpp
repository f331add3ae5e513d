#include "error_messages.h"

#include <cwctype>
#include <string_view>

namespace simhost {

namespace {

struct message_entry {
    long number;
    std::wstring_view text;
};

constexpr message_entry messages[] = {
    {63600, L"A category rule already exists for category '%1'."},
    {63601, L"A type rule already exists for object type '%1'."},
    {63602, L"An object rule already exists for object '%1'."},
    {63604, L"'%1' is not a valid ACL copy option; use 1 or 2."},
    {63609, L"A log setting already exists for log file '%1'."},
    {63610, L"A log setting needs a log file name."},
    {63630, L"A folder rule already exists for path '%1'."},
};

std::wstring insert_arguments(std::wstring_view text, const std::vector<std::wstring>& inserts)
{
    std::wstring result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::size_t end = i + 1;
        while (end < text.size() && std::iswdigit(text[end]))
            ++end;
        if (text[i] != L'%' || end == i + 1) {
            result += text[i];
            continue;
        }
        std::size_t number = 0;
        for (std::size_t digit = i + 1; digit < end && number <= inserts.size(); ++digit)
            number = number * 10 + static_cast<std::size_t>(text[digit] - L'0');
        if (number >= 1 && number <= inserts.size())
            result += inserts[number - 1];
        else
            result += text.substr(i, end - i);
        i = end - 1;
    }
    return result;
}

} // namespace

std::wstring error_message(long number, const std::vector<std::wstring>& inserts)
{
    for (const message_entry& entry : messages) {
        if (entry.number == number) return insert_arguments(entry.text, inserts);
    }
    return L"Error " + std::to_wstring(number);
}

} // namespace simhost
