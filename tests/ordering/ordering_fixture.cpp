#include "ordering_fixture.h"

#include "ordering/level_list.h"
#include "ordering/object_list.h"

#include "com/bstr.h"

#include <algorithm>

using namespace testing_support;

namespace ordering_testing {

argument::argument(const wchar_t* text)
{
    ::VariantInit(&value_);
    value_.vt = VT_BSTR;
    value_.bstrVal = ::SysAllocString(text);
}

argument::argument(IUnknown* object)
{
    ::VariantInit(&value_);
    value_.vt = VT_UNKNOWN;
    value_.punkVal = object;
    if (object) object->AddRef();
}

argument::argument(long number)
{
    ::VariantInit(&value_);
    value_.vt = VT_I4;
    value_.lVal = number;
}

argument::argument() { ::VariantInit(&value_); }

com::com_ptr<HostObject> OrderingTest::object(const std::wstring& id) { return top_level_object(*host, id, 1); }

void OrderingTest::relate(const std::wstring& from, const std::wstring& to)
{
    object(from);
    object(to);
    expect_ok(host->Relate(com::bstr(from).get(), com::bstr(to).get()), "Relate");
}

com::com_ptr<IKSQObjectList> OrderingTest::new_list()
{
    return com::as_interface<IKSQObjectList>(com::make<ordering::CObjectList>());
}

com::com_ptr<IKSQObjectList> OrderingTest::list(const ids& objects)
{
    auto result = new_list();
    for (const std::wstring& id : objects)
        expect_ok(result->Add(object(id).get()), "Add");
    return result;
}

com::com_ptr<IKSQLevelList> OrderingTest::new_levels()
{
    return com::as_interface<IKSQLevelList>(com::make<ordering::CLevelList>());
}

com::com_ptr<IKSQLevelList> OrderingTest::levels_of(const level_ids& contents)
{
    auto result = new_levels();
    for (const ids& level : contents)
        expect_ok(result->Add(list(level).get()), "Add level");
    return result;
}

com::com_ptr<IKSQObjectIterator> OrderingTest::iterator(IKSQObjectList& list)
{
    com::com_ptr<IKSQObjectIterator> result;
    expect_ok(list.CreateObjectIterator(result.put()), "CreateObjectIterator");
    return result;
}

std::wstring OrderingTest::next_id(IKSQObjectIterator& iterator)
{
    com::com_ptr<HostObject> next;
    expect_ok(iterator.Next(next.put()), "Next");
    return next ? id_of(next.get()) : L"-";
}

bool OrderingTest::has_next(IKSQObjectIterator& iterator)
{
    VARIANT_BOOL more = VARIANT_FALSE;
    expect_ok(iterator.HasNext(&more), "HasNext");
    return more != VARIANT_FALSE;
}

bool OrderingTest::exists(IKSQObjectList& list, VARIANT* key)
{
    VARIANT_BOOL found = VARIANT_FALSE;
    expect_ok(list.Exists(key, &found), "Exists");
    return found != VARIANT_FALSE;
}

long OrderingTest::count(IKSQObjectList& list)
{
    LONG result = -1;
    expect_ok(list.get_Count(&result), "Count");
    return result;
}

ids OrderingTest::ids_of(IKSQObjectList& list)
{
    ids result;
    auto walker = iterator(list);
    for (std::wstring id = next_id(*walker); id != L"-"; id = next_id(*walker))
        result.push_back(id);
    expect_ok(list.RemoveIterator(walker.get()), "RemoveIterator");
    return result;
}

level_ids OrderingTest::contents_of(IKSQLevelList& levels)
{
    level_ids result;
    com::com_ptr<IKSQLevelIterator> walker;
    expect_ok(levels.CreateLevelIterator(walker.put()), "CreateLevelIterator");
    for (;;) {
        com::com_ptr<IKSQObjectList> level;
        expect_ok(walker->Next(level.put()), "Next level");
        if (!level) break;
        result.push_back(ids_of(*level));
    }
    expect_ok(levels.RemoveIterator(walker.get()), "RemoveIterator");
    return result;
}

std::vector<std::wstring> OrderingTest::traces() { return trace_lines(*host); }

long OrderingTest::lines(const std::wstring& line)
{
    const auto all = traces();
    return static_cast<long>(std::count(all.begin(), all.end(), line));
}

std::wstring id_of(HostObject* object)
{
    com::bstr id;
    expect_ok(object->get_ID(id.put()), "ID");
    return id.str();
}

} // namespace ordering_testing
