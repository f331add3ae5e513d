#pragma once
// Helpers for tests that use the component through COM.

#include "com/bstr.h"
#include "com/com_ptr.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <string>
#include <vector>

namespace testing_support {

void expect_ok(HRESULT hr, const char* what = "call");

// What a failed call reported: its HRESULT and the thread's error information.
struct failure {
    HRESULT code = S_OK;
    std::wstring source;
    std::wstring description;
};
failure failure_of(HRESULT hr);

template <class I> com::com_ptr<I> create(REFCLSID clsid)
{
    com::com_ptr<I> object;
    expect_ok(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I), object.put_void()),
              "CoCreateInstance");
    return object;
}

template <class I, class T> com::com_ptr<I> query(const com::com_ptr<T>& object)
{
    com::com_ptr<I> result = object.template try_as<I>();
    EXPECT_TRUE(result) << "object does not answer the interface";
    return result;
}

// A new iterator from `create` on `store`.
template <class Store, class Iterator>
com::com_ptr<Iterator> make_iterator(Store& store, HRESULT (STDMETHODCALLTYPE Store::*create)(Iterator**))
{
    com::com_ptr<Iterator> iterator;
    expect_ok((store.*create)(iterator.put()), "creating an iterator");
    return iterator;
}

// The first record a new iterator hands out.
template <class Record, class Iterator> com::com_ptr<Record> first_record(const com::com_ptr<Iterator>& iterator)
{
    com::com_ptr<Record> record;
    expect_ok(iterator->Next(record.put()), "Next");
    return record;
}

// Every record an iterator of the component hands out, until Next gives none.
template <class Record, class Iterator> std::vector<com::com_ptr<Record>> walk(Iterator& iterator)
{
    std::vector<com::com_ptr<Record>> records;
    for (;;) {
        com::com_ptr<Record> next;
        expect_ok(iterator.Next(next.put()), "Next");
        if (!next) return records;
        records.push_back(std::move(next));
    }
}

// What a text property `read` answers for each record an iterator hands out.
template <class Iterator, class Record>
std::vector<std::wstring> record_texts(Iterator& iterator, HRESULT (STDMETHODCALLTYPE Record::*read)(BSTR*))
{
    std::vector<std::wstring> texts;
    for (const auto& record : walk<Record>(iterator)) {
        com::bstr text;
        expect_ok((record.get()->*read)(text.put()), "a text property");
        texts.push_back(text.str());
    }
    return texts;
}

// An iterator past its last record stays there: HasNext answers false and Next
// gives nothing, `times` times over.
template <class Record, class Iterator> void expect_walk_over(Iterator& iterator, int times = 1)
{
    for (int i = 0; i < times; ++i) {
        VARIANT_BOOL more = VARIANT_TRUE;
        expect_ok(iterator.HasNext(&more), "HasNext");
        EXPECT_EQ(more, VARIANT_FALSE);
        com::com_ptr<Record> next;
        expect_ok(iterator.Next(next.put()), "Next");
        EXPECT_FALSE(next);
    }
}

// 0x800A0000 | number.
constexpr HRESULT numbered(long number)
{
    return static_cast<HRESULT>(0x800A0000UL | static_cast<unsigned long>(number));
}

// The dispatch identifier of a member, by name; fails the test when unknown.
DISPID dispid_of(IDispatch& object, const wchar_t* name);

// IDispatch::Invoke of the method `name` with one argument, the object `argument`;
// what Invoke hands out goes where given.
HRESULT invoke_with_object(IDispatch& target, const wchar_t* name, IDispatch* argument, VARIANT* result = nullptr,
                           EXCEPINFO* exception = nullptr, UINT* argument_error = nullptr);

// DllCanUnloadNow of the loaded component.
HRESULT component_can_unload_now();

} // namespace testing_support
