#include "service_call.h"

#include "call_gate.h"
#include "call_log.h"

#include <com/error.h>

namespace simhost {

namespace {

void throw_if_injected(const std::optional<injected_failure>& failure)
{
    if (failure) com::throw_with_new_info(failure->code, L"KSimHost", failure->description);
}

} // namespace

void enter(operation op, std::initializer_list<std::wstring_view> arguments)
{
    const std::optional<injected_failure> failure = count_call(op);
    // One allocation for the line: hosts log millions of these.
    std::size_t length = name_of(op).size() + 2 + arguments.size();
    for (std::wstring_view argument : arguments)
        length += argument.size();
    std::wstring line;
    line.reserve(length);
    line += name_of(op);
    line += L'(';
    bool first = true;
    for (std::wstring_view argument : arguments) {
        if (!first) line += L',';
        line += argument;
        first = false;
    }
    line += L')';
    log_call(std::move(line));
    throw_if_injected(failure);
}

void enter_unlogged(operation op) { throw_if_injected(count_call(op)); }

void require(const void* pointer)
{
    if (!pointer) throw com::com_error(E_POINTER, nullptr);
}

std::wstring number_text(long value) { return std::to_wstring(value); }

std::wstring number_or_null(const LONG* value) { return value ? number_text(*value) : L"null"; }

} // namespace simhost
