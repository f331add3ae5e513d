#pragma once
// Folder rules over a folder tree of the simulated host, for the tests of
// ProcessFolderRule.

#include "rules_fixture.h"

#include <map>
#include <string>
#include <vector>

namespace testing_support {

class FolderRulesTest : public RulesTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Adds an item to the folder with full path `parent` ("" = top level).
    com::com_ptr<HostObject> item(const std::wstring& id, const std::wstring& name, LONG type,
                                  const std::wstring& parent);
    // This tree, items in this order (types in brackets, folders are type 8):
    //   \Shared                F1
    //     \Shared\Reports      F2: r1 (120), r2 (121), \Shared\Reports\Old F3: o1 (120)
    //     s1 (130)
    //   \Other                 F4
    //     \Other\Reports       F5: x1 (140)
    // Objects without a rule get action 1 from their category.
    void standard_tree();

    void folder_rule(const std::wstring& path, LONG action);
    // ProcessFolderRule with the test's session (made with source flag false).
    HRESULT process();
    void process_ok() { expect_ok(process(), "ProcessFolderRule"); }

    // The store's object rules in their order, as "ID type action".
    std::vector<std::wstring> object_rules();
    // FindAction for an item added by the test.
    LONG action_of(const std::wstring& id) { return action_for(items_.at(id).get()); }

    void inject(const wchar_t* operation, long nth = 1) { RulesTest::inject(operation, nth); }
    // The 1-based number of the Trace call that writes `line` (its `occurrence`th
    // time) when the same calls are made again from a cleared trace.
    static long trace_call_number(const std::vector<std::wstring>& lines, const std::wstring& line, int occurrence = 1);

    com::com_ptr<HostSession> session;

private:
    std::map<std::wstring, com::com_ptr<HostObject>> items_;
};

} // namespace testing_support
