#pragma once
// Shared set-up of the ordering tests: host objects of the simulated host, lists
// made from their IDs, and readers of what the lists hold.

#include "support/com_testing.h"
#include "support/sim_host.h"

#include <K1PriTyp.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace ordering_testing {

using ids = std::vector<std::wstring>;
using level_ids = std::vector<ids>;

// A VARIANT argument that owns what it holds.
class argument {
public:
    explicit argument(const wchar_t* text);
    explicit argument(IUnknown* object);
    explicit argument(long number);
    argument();
    ~argument() { ::VariantClear(&value_); }
    argument(const argument&) = delete;
    argument& operator=(const argument&) = delete;

    VARIANT* get() noexcept { return &value_; }

private:
    VARIANT value_;
};

class OrderingTest : public testing_support::SimHostTest {
protected:
    // The host object with that ID, created on first use.
    com::com_ptr<HostObject> object(const std::wstring& id);
    // Makes `to` one of the related objects of `from`, after those given before.
    void relate(const std::wstring& from, const std::wstring& to);

    static com::com_ptr<IKSQObjectList> new_list();
    com::com_ptr<IKSQObjectList> list(const ids& objects);
    static com::com_ptr<IKSQLevelList> new_levels();
    com::com_ptr<IKSQLevelList> levels_of(const level_ids& contents);

    static com::com_ptr<IKSQObjectIterator> iterator(IKSQObjectList& list);
    // The ID of what Next returns; "-" for none.
    static std::wstring next_id(IKSQObjectIterator& iterator);
    static bool has_next(IKSQObjectIterator& iterator);
    static bool exists(IKSQObjectList& list, VARIANT* key);
    static long count(IKSQObjectList& list);

    // What the lists hold, read through an iterator that is unregistered again.
    static ids ids_of(IKSQObjectList& list);
    static level_ids contents_of(IKSQLevelList& levels);

    // Trace lines as "Enter <class> <member>", from the last ClearTrace on.
    std::vector<std::wstring> traces();
    long lines(const std::wstring& line);
};

std::wstring id_of(HostObject* object);

} // namespace ordering_testing
