#include "trace_text.h"

#include "host/trace_record.h"

#include <vector>

namespace planner {

namespace {

std::vector<std::wstring_view> fields_of(std::wstring_view record)
{
    std::vector<std::wstring_view> fields;
    for (;;) {
        const std::size_t bar = record.find(host_trace::separator);
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

} // namespace planner
