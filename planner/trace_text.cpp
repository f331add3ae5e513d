#include "trace_text.h"

#include <vector>

namespace planner {

namespace {

std::vector<std::wstring_view> fields_of(std::wstring_view record)
{
    std::vector<std::wstring_view> fields;
    for (;;) {
        const std::size_t bar = record.find(L'|');
        fields.push_back(record.substr(0, bar));
        if (bar == std::wstring_view::npos) return fields;
        record.remove_prefix(bar + 1);
    }
}

} // namespace

std::wstring trace_line_of(std::wstring_view record)
{
    const std::vector<std::wstring_view> fields = fields_of(record);
    if (fields.size() < 2) return std::wstring(record);
    const std::wstring_view format = fields[1];
    std::wstring line;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == L'%' && i + 1 < format.size() && format[i + 1] >= L'1' && format[i + 1] <= L'9') {
            const std::size_t argument = static_cast<std::size_t>(format[i + 1] - L'1') + 2;
            if (argument < fields.size()) {
                line += fields[argument];
                ++i;
                continue;
            }
        }
        line += format[i];
    }
    return line;
}

bool is_enter(std::wstring_view record, std::wstring_view class_label, std::wstring_view member_label)
{
    constexpr std::wstring_view head = L"32|[%1][%2] Function Enter|";
    if (!record.starts_with(head)) return false;
    record.remove_prefix(head.size());
    return record.size() == class_label.size() + 1 + member_label.size() && record.starts_with(class_label) &&
           record[class_label.size()] == L'|' && record.ends_with(member_label);
}

} // namespace planner
