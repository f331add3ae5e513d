#pragma once
// A rule store and the simulated host's metadata, for the rule store's tests.

#include "support/com_testing.h"
#include "support/sim_host.h"

#include <K1MrgRls.h>

#include <string>
#include <vector>

namespace testing_support {

class RulesTest : public SimHostTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A host object of the simulated repository.
    com::com_ptr<HostObject> object(const std::wstring& id, LONG type, LONG subtype = 0);
    // FindAction through IKSQMergeRules; fails the test if the call fails.
    LONG action_for(HostObject* object);
    LONG action_for(const std::wstring& id, LONG type, LONG subtype = 0);
    void category_of(LONG type, LONG category);

    std::vector<std::wstring> trace() { return trace_lines(*host); }
    void clear_trace() { expect_ok(host->ClearTrace()); }
    void clear_calls() { expect_ok(host->ClearCalls()); }
    void inject(const wchar_t* operation, long nth = 1);

    static constexpr HRESULT injected = static_cast<HRESULT>(0x80045678L);

    com::com_ptr<IKSQMergeRules> rules;
    com::com_ptr<IKSQMergeRules2> rules2;
};

} // namespace testing_support
