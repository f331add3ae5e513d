#pragma once
// Access to the simulated host from tests: its control object, the trace lines
// and calls it recorded.

#include <K5TYPLIB.h>
#include <KSimHost.h>

#include "com_testing.h"

#include "com/com_ptr.h"

#include <string>
#include <vector>

namespace testing_support {

// The simulated host's control object (created on the calling thread).
com::com_ptr<ISimHostControl> sim_host();

// A test fixture (over any gtest base) that starts from a reset simulated host
// without host objects, and leaves it so: the destructor of this base runs after
// the derived fixture's members are gone, so they need no TearDown of their own.
template <class Base = ::testing::Test> class SimHostFixture : public Base {
protected:
    void SetUp() override
    {
        host = sim_host();
        expect_ok(host->Reset());
        expect_ok(host->ClearObjects());
    }
    ~SimHostFixture() override
    {
        if (!host) return;
        expect_ok(host->ClearObjects());
        expect_ok(host->Reset());
    }

    com::com_ptr<ISimHostControl> host;
};
using SimHostTest = SimHostFixture<>;

// Recorded trace lines as "Enter <class> <member>" or "Leave <class> <member>";
// a line of another level or format is kept whole, so that comparisons show it.
std::vector<std::wstring> trace_lines(ISimHostControl& host);

// Recorded calls other than Trace, as the simulated host writes them; without the
// creation of service instances unless asked for.
std::vector<std::wstring> calls(ISimHostControl& host, bool with_creation = false);

long call_count(ISimHostControl& host, const wchar_t* operation);

// ---- The metadata inventory ----

// AddItem: an item `name` in the folder `parent_path` ("" = top level); type 8
// makes a folder.
com::com_ptr<HostObject> add_item(ISimHostControl& host, const std::wstring& id, const std::wstring& name,
                                  long type_code, const std::wstring& parent_path, long subtype_code = 0);

// The host object under `id`, or a new one at the top level named after its ID.
// Tests that name an object again get the same COM object.
com::com_ptr<HostObject> top_level_object(ISimHostControl& host, const std::wstring& id, long type_code,
                                          long subtype_code = 0);

struct item_row {
    std::wstring id;
    std::wstring name;
    long type_code = 0;
    long subtype_code = 0;
    std::wstring parent_path;
};

// AddItems with these rows; the number added. `result` receives the HRESULT
// when given; otherwise a failure fails the test.
long add_items(ISimHostControl& host, const std::vector<item_row>& rows, HRESULT* result = nullptr);

// A new session whose object source has that SourceFlag.
com::com_ptr<HostSession> create_session(ISimHostControl& host, bool source_flag = false);

// SetErrorInfoMode; Reset restores mode 0 everywhere.
void set_error_info_mode(ISimHostControl& host, const wchar_t* target, long mode);

// The IDs of what a folder or a collection enumerates (DISPID_NEWENUM through
// IDispatch::Invoke, then IEnumVARIANT), in order.
std::vector<std::wstring> enumerated_ids(IDispatch& collection);

} // namespace testing_support
