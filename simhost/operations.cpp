#include "operations.h"

#include <array>

namespace simhost {

namespace {

// In the order of `operation`.
constexpr std::array<std::wstring_view, operation_count> names = {
    L"TraceService.Create",
    L"TraceService.Trace",
    L"TraceService.BindComponent",
    L"TraceService.Activate",
    L"MessagingService.Create",
    L"MessagingService.Configure",
    L"EnvironmentService.Create",
    L"EnvironmentService.GetText",
    L"HostUtility.Create",
    L"HostUtility.RaiseError",
    L"HostUtility.DescribeCategory",
    L"HostUtility.CategoryOfType",
    L"HostUtility.DescribeAclOption",
    L"HostUtility.ValuesEqual",
    L"HostUtility.SourceFlag",
    L"TypeNameService.Create",
    L"TypeNameService.DescribeObjectType",
    L"HostObject.ID",
    L"HostObject.FullPath",
    L"HostObject.TypeCode",
    L"HostObject.SubtypeCode",
    L"HostObject.RelatedObjects",
    L"Collection._NewEnum",
    L"Enumerator.Next",
    L"HostSession.ObjectSource",
    L"ObjectSource.CreateNewObject",
    L"HostSearch.SetDomain",
    L"HostSearch.SetNamePattern",
    L"HostSearch.TypeFilter",
    L"TypeFilter.AddType",
    L"HostSearch.Execute",
    L"HostFolder.FolderObject",
    L"HostFolder._NewEnum",
    L"FolderEnumerator.Next",
    L"SearchResults._NewEnum",
    L"SearchResultsEnumerator.Next",
};

} // namespace

std::wstring_view name_of(operation op) noexcept { return names[index_of(op)]; }

std::optional<operation> find_operation(std::wstring_view name) noexcept
{
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return static_cast<operation>(i);
    }
    return std::nullopt;
}

std::optional<operation> find_creation(std::wstring_view service) noexcept
{
    constexpr std::wstring_view suffix = L".Create";
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::wstring_view name = names[i];
        if (name.size() == service.size() + suffix.size() && name.starts_with(service) && name.ends_with(suffix))
            return static_cast<operation>(i);
    }
    return std::nullopt;
}

} // namespace simhost
