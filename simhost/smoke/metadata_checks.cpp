// Smoke checks of the folder tree, sessions, object sources and searches.

#include "smoke_support.h"

#include <K1PriTyp.h>
#include <K5TYPLIB.h>

#include <com/safearray.h>

namespace smoke {

namespace {

com::com_ptr<HostObject> add_item(ISimHostControl& host, const wchar_t* id, const wchar_t* name, long type,
                                  const wchar_t* parent)
{
    com::com_ptr<HostObject> item;
    host.AddItem(com::bstr(id).get(), com::bstr(name).get(), type, 0, com::bstr(parent).get(), item.put());
    return item;
}

std::wstring id_of(IDispatch* object)
{
    com::com_ptr<HostObject> item;
    com::bstr id;
    if (object) object->QueryInterface(__uuidof(HostObject), item.put_void());
    if (item) item->get_ID(id.put());
    return id.str();
}

std::vector<std::wstring> ids_of(const std::vector<com::com_ptr<IDispatch>>& objects)
{
    std::vector<std::wstring> ids;
    for (const auto& object : objects)
        ids.push_back(id_of(object.get()));
    return ids;
}

std::wstring full_path(HostObject& item)
{
    com::bstr path;
    item.get_FullPath(path.put());
    return path.str();
}

SAFEARRAY* text_array(std::initializer_list<const wchar_t*> texts)
{
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(texts.size()));
    LONG index = 0;
    for (const wchar_t* text : texts) {
        com::bstr element(text);
        ::SafeArrayPutElement(array, &index, element.get());
        ++index;
    }
    return array;
}

SAFEARRAY* number_array(std::initializer_list<long> numbers)
{
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_I4, 0, static_cast<ULONG>(numbers.size()));
    LONG index = 0;
    for (long number : numbers) {
        ::SafeArrayPutElement(array, &index, &number);
        ++index;
    }
    return array;
}

long add_items(ISimHostControl& host, std::initializer_list<const wchar_t*> ids,
               std::initializer_list<const wchar_t*> names, std::initializer_list<long> types,
               std::initializer_list<const wchar_t*> parents, HRESULT* result)
{
    SAFEARRAY* arrays[] = {text_array(ids), text_array(names), number_array(types), number_array(types),
                           text_array(parents)};
    long added = -1;
    *result = host.AddItems(arrays[0], arrays[1], arrays[2], arrays[3], arrays[4], &added);
    for (SAFEARRAY* array : arrays)
        ::SafeArrayDestroy(array);
    return added;
}

} // namespace

void check_folder_tree(ISimHostControl& host)
{
    // Contents may come before their folder.
    auto early = add_item(host, L"I0", L"Early", 5, L"\\Shared\\Reports");
    auto shared = add_item(host, L"F1", L"Shared", 8, L"");
    auto reports = add_item(host, L"F2", L"Reports", 8, L"\\Shared");
    auto late = add_item(host, L"I1", L"Late", 6, L"\\Shared\\Reports");
    expect(early && shared && reports && late, "AddItem returns host objects");
    if (!early || !shared || !reports || !late) return;
    expect(full_path(*reports) == L"\\Shared\\Reports", "FullPath is the parent path, \"\\\" and the name");
    expect(full_path(*shared) == L"\\Shared", "a top-level folder's path starts with \"\\\"");
    com::com_ptr<HostObject> refused;
    expect(host.AddItem(com::bstr(L"F2").get(), com::bstr(L"Other").get(), 8, 0, com::bstr(L"").get(), refused.put()) ==
               E_INVALIDARG,
           "AddItem refuses an ID already present");
    com::com_ptr<HostObject> found;
    host.FindObject(com::bstr(L"F2").get(), found.put());
    expect(found == reports, "FindObject gives the item's COM object");
    expect(!early.try_as<HostFolder>(), "an item of another type than 8 is no folder");

    auto folder = reports.try_as<HostFolder>();
    expect(bool(folder), "a type 8 item answers HostFolder");
    if (!folder) return;
    com::com_ptr<HostObject> itself;
    expect(folder->get_FolderObject(itself.put()) == S_OK && itself == reports, "FolderObject is the same object");
    auto items = new_enum(*folder);
    expect(bool(items), "DISPID_NEWENUM of a folder gives an IEnumVARIANT");
    if (items) {
        const auto contents = drain(*items);
        expect(ids_of(contents) == std::vector<std::wstring>{L"I0", L"I1"}, "direct contents in the order added");
        expect(contents.size() == 2 && contents[1].get() == static_cast<IDispatch*>(late.get()),
               "as the same COM objects");
    }
    expect(calls(host) == std::vector<std::wstring>{L"HostFolder.FolderObject(F2)", L"HostFolder._NewEnum(F2)"},
           "FolderObject and _NewEnum are logged with the folder's ID");
    expect(call_count(host, L"FolderEnumerator.Next") == 3, "the enumerator's steps are counted");

    HRESULT result = S_OK;
    expect(add_items(host, {L"A1", L"A2"}, {L"One", L"Two"}, {5, 8}, {L"\\Shared", L""}, &result) == 2 &&
               result == S_OK,
           "AddItems adds every row");
    expect(add_items(host, {L"A3", L"A1", L"A4"}, {L"x", L"y", L"z"}, {5, 5, 5}, {L"", L"", L""}, &result) == 1 &&
               result == E_INVALIDARG,
           "AddItems stops at the first row whose ID is present");
    found.reset();
    expect(host.FindObject(com::bstr(L"A3").get(), found.put()) == S_OK &&
               host.FindObject(com::bstr(L"A4").get(), found.put()) == E_INVALIDARG,
           "rows before the bad one stay, rows after it are not added");
    auto top = shared.try_as<HostFolder>();
    if (top) {
        auto top_items = new_enum(*top);
        expect(top_items && ids_of(drain(*top_items)) == std::vector<std::wstring>{L"F2", L"A1"},
               "AddItems appends to the folder's contents");
    }

    // Items share their folder's path with the repository; one held past
    // ClearObjects keeps it, and its ID and name.
    host.ClearObjects();
    expect(full_path(*late) == L"\\Shared\\Reports\\Late" && id_of(late.get()) == L"I1",
           "an item held past ClearObjects keeps its ID and full path");
}

void check_searches(ISimHostControl& host)
{
    add_item(host, L"F1", L"Shared", 8, L"");
    add_item(host, L"F2", L"Reports", 8, L"\\Shared");
    add_item(host, L"R1", L"Reports", 5, L"\\Shared");
    add_item(host, L"F3", L"reports", 8, L"");
    add_item(host, L"F4", L"Reports", 8, L"");

    com::com_ptr<HostSession> session;
    expect(host.CreateSession(VARIANT_TRUE, session.put()) == S_OK && session, "CreateSession gives a session");
    if (!session) return;
    com::com_ptr<ObjectSource2> source, again;
    session->get_ObjectSource(source.put());
    session->get_ObjectSource(again.put());
    expect(source && source == again, "a session hands out the same object source");
    if (!source) return;

    auto utility = create<IHostUtility>(CLSID_HostUtility);
    VARIANT_BOOL flag = VARIANT_FALSE;
    ObjectSource2* source_argument = source.get();
    expect(utility && utility->SourceFlag(&source_argument, &flag) == S_OK && flag == VARIANT_TRUE,
           "SourceFlag answers the flag of the session's source");
    host.SetSourceFlag(session.get(), VARIANT_FALSE);
    if (utility) utility->SourceFlag(&source_argument, &flag);
    expect(flag == VARIANT_FALSE, "SetSourceFlag changes it");

    com::com_ptr<IDispatch> created;
    expect(source->CreateNewObject(5, 0, nullptr, created.put()) == E_INVALIDARG &&
               current_error().description.find(L"type 5") != std::wstring::npos,
           "CreateNewObject refuses another type than 39, naming it");
    host.ClearCalls();
    expect(source->CreateNewObject(39, 0, nullptr, created.put()) == S_OK && created, "CreateNewObject(39) works");
    auto search = created.try_as<HostSearch>();
    expect(bool(search), "and makes a HostSearch");
    if (!search) return;
    search->SetDomain(3);
    search->SetNamePattern(com::bstr(L"Reports").get());
    com::com_ptr<TypeFilter> filter, same_filter;
    search->get_TypeFilter(filter.put());
    search->get_TypeFilter(same_filter.put());
    expect(filter && filter == same_filter, "a search has one type filter");
    if (!filter) return;

    com::com_ptr<IDispatch> results;
    expect(search->Execute(0, nullptr, nullptr, 0, 0, results.put()) == S_OK && results, "Execute gives a collection");
    auto nothing = results ? new_enum(*results) : nullptr;
    expect(nothing && drain(*nothing).empty(), "without a type nothing is found");

    filter->AddType(8);
    results.reset();
    search->Execute(0, nullptr, nullptr, 0, 0, results.put());
    auto found = results ? new_enum(*results) : nullptr;
    expect(found && ids_of(drain(*found)) == std::vector<std::wstring>{L"F2", L"F4"},
           "folders named exactly like the pattern, in the order added");
    expect(calls(host) == std::vector<std::wstring>{L"ObjectSource.CreateNewObject(39,0,null)",
                                                    L"HostSearch.SetDomain(3)", L"HostSearch.SetNamePattern(Reports)",
                                                    L"HostSearch.TypeFilter()", L"HostSearch.TypeFilter()",
                                                    L"HostSearch.Execute(0,null,null,0,0)", L"TypeFilter.AddType(8)",
                                                    L"HostSearch.Execute(0,null,null,0,0)"},
           "the search's calls are logged");
    expect(call_count(host, L"SearchResults._NewEnum") == 2 && call_count(host, L"SearchResultsEnumerator.Next") == 4,
           "result collections and their enumerators are counted");

    // The session outlives ClearObjects while it is held; its source keeps its flag.
    host.ClearObjects();
    expect(host.SetSourceFlag(session.get(), VARIANT_TRUE) == S_OK, "a held session can still be changed");
    if (utility) utility->SourceFlag(&source_argument, &flag);
    expect(flag == VARIANT_TRUE, "and its source answers the new flag");

    // A cleared repository starts afresh: the same IDs can be added again, and
    // a search finds only the new objects, in their order.
    add_item(host, L"F4", L"Reports", 8, L"");
    add_item(host, L"F9", L"Reports", 8, L"\\Reports");
    add_item(host, L"F2", L"Reports", 8, L"");
    results.reset();
    search->Execute(0, nullptr, nullptr, 0, 0, results.put());
    auto refound = results ? new_enum(*results) : nullptr;
    expect(refound && ids_of(drain(*refound)) == std::vector<std::wstring>{L"F4", L"F9", L"F2"},
           "after ClearObjects a search finds the objects added since, in the order added");
}

} // namespace smoke
