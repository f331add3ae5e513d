#include "rules_fixture.h"

namespace testing_support {

void RulesTest::SetUp()
{
    SimHostTest::SetUp();
    rules = create<IKSQMergeRules>(CLSID_CMergeRules);
    rules2 = rules.try_as<IKSQMergeRules2>();
    ASSERT_TRUE(rules2);
}

void RulesTest::TearDown()
{
    rules.reset();
    rules2.reset();
    expect_ok(host->ClearObjects());
}

com::com_ptr<HostObject> RulesTest::object(const std::wstring& id, LONG type, LONG subtype)
{
    com::com_ptr<HostObject> result;
    expect_ok(host->AddObject(com::bstr(id).get(), type, subtype, com::bstr(L"\\" + id).get(), result.put()),
              "AddObject");
    return result;
}

LONG RulesTest::action_for(HostObject* object)
{
    LONG action = -999;
    expect_ok(rules->FindAction(object, &action), "FindAction");
    return action;
}

LONG RulesTest::action_for(const std::wstring& id, LONG type, LONG subtype)
{
    return action_for(object(id, type, subtype).get());
}

void RulesTest::category_of(LONG type, LONG category) { expect_ok(host->SetCategory(type, category)); }

void RulesTest::inject(const wchar_t* operation, long nth)
{
    expect_ok(host->InjectFailure(com::bstr(operation).get(), nth, injected, com::bstr(L"host read failed").get()));
}

} // namespace testing_support
