// FindFolderWithPath on its own: what it answers when a step fails, and that a
// failure it passes over leaves no error information on the thread.
#include "common/find_folder_with_path.h"

#include "support/com_testing.h"
#include "support/sim_host.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

constexpr HRESULT injected = static_cast<HRESULT>(0x80045679L);

class FindFolderWithPathTest : public SimHostTest {
protected:
    void SetUp() override
    {
        SimHostTest::SetUp();
        for (const auto& [id, name, parent] :
             {std::tuple{L"F1", L"Shared", L""}, {L"F2", L"Reports", L"\\Shared"}, {L"F3", L"Reports", L""}}) {
            com::com_ptr<HostObject> added;
            expect_ok(
                host->AddItem(com::bstr(id).get(), com::bstr(name).get(), 8, 0, com::bstr(parent).get(), added.put()));
        }
        com::com_ptr<HostSession> session;
        expect_ok(host->CreateSession(VARIANT_TRUE, session.put()));
        expect_ok(session->get_ObjectSource(source.put()));
        expect_ok(host->FindObject(com::bstr(L"F1").get(), earlier.put()));
    }

    void inject(const wchar_t* operation, long nth = 1)
    {
        expect_ok(host->InjectFailure(com::bstr(operation).get(), nth, injected, com::bstr(L"step failed").get()));
    }

    static bool thread_has_error_info()
    {
        com::com_ptr<IErrorInfo> info;
        return ::GetErrorInfo(0, info.put()) == S_OK;
    }

    static std::wstring id_of(const com::com_ptr<HostObject>& object)
    {
        com::bstr id;
        expect_ok(object->get_ID(id.put()));
        return id.str();
    }

    com::com_ptr<ObjectSource2> source;
    com::com_ptr<HostObject> earlier;
};

TEST_F(FindFolderWithPathTest, TakesTheFirstResultWithTheExactPath)
{
    com::com_ptr<HostObject> folder;
    EXPECT_TRUE(common::FindFolderWithPath(L"\\Reports", source, folder));
    EXPECT_EQ(id_of(folder), L"F3");
    EXPECT_TRUE(common::FindFolderWithPath(L"\\Shared\\Reports", source, folder));
    EXPECT_EQ(id_of(folder), L"F2");
    folder = earlier;
    EXPECT_FALSE(common::FindFolderWithPath(L"\\Shared\\reports", source, folder));
    EXPECT_EQ(folder, earlier) << "left as it was";
}

TEST_F(FindFolderWithPathTest, PassedOverFailuresLeaveNoErrorInformation)
{
    // Both Reports folders are results of each search, F2 first.
    struct step_case {
        const wchar_t* operation;
        long nth;
        const wchar_t* path;
        const wchar_t* found; // the folder's ID, or null for not found
    };
    const step_case cases[] = {
        {L"ObjectSource.CreateNewObject", 1, L"\\Reports", nullptr},
        {L"HostUtility.SourceFlag", 1, L"\\Reports", L"F3"},
        {L"HostSearch.SetDomain", 1, L"\\Reports", L"F3"},
        {L"HostSearch.SetNamePattern", 1, L"\\Reports", nullptr},
        {L"HostSearch.TypeFilter", 1, L"\\Reports", nullptr},
        {L"TypeFilter.AddType", 1, L"\\Reports", nullptr},
        {L"HostSearch.Execute", 1, L"\\Reports", nullptr},
        {L"SearchResults._NewEnum", 1, L"\\Reports", nullptr},
        {L"SearchResultsEnumerator.Next", 2, L"\\Reports", nullptr},
        {L"HostObject.FullPath", 1, L"\\Reports", L"F3"},
        {L"HostObject.FullPath", 1, L"\\Shared\\Reports", nullptr},
    };
    for (const step_case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.operation, c.operation + wcslen(c.operation)) << " #"
                                        << c.nth);
        expect_ok(host->Reset());
        inject(c.operation, c.nth);
        com::com_ptr<HostObject> folder = earlier;
        EXPECT_EQ(common::FindFolderWithPath(c.path, source, folder), c.found != nullptr);
        EXPECT_EQ(id_of(folder), c.found ? c.found : L"F1");
        EXPECT_FALSE(thread_has_error_info());
        EXPECT_GE(call_count(*host, c.operation), c.nth) << "the failure was reached";
    }
}

} // namespace
