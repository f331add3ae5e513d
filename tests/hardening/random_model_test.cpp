// Long random call sequences on the rule store, the log settings and the options,
// each result checked against a small model of what they must do: duplicates fail
// with their number and keep the first, FindAction follows its precedence and
// defaults, CopyACLOption takes only 1 and 2, a log file name must be new and not
// empty, and a call that fails because a host call failed changes nothing.
#include "merge_scenario.h"

#include "support/com_testing.h"
#include "support/sim_host.h"

#include <K1MrgRls.h>

#include "com/bstr.h"

#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <vector>

using namespace testing_support;

namespace {

constexpr HRESULT injected = static_cast<HRESULT>(0x80047B22L);

struct host_item {
    std::wstring id;
    LONG type, subtype;
    com::com_ptr<HostObject> object;
};

// What the component must hold.
struct model {
    std::vector<std::pair<LONG, LONG>> categories, types;                // key, action
    std::vector<std::pair<std::wstring, std::pair<LONG, LONG>>> objects; // id, (type, action)
    std::vector<std::pair<std::wstring, LONG>> folders;
    std::vector<std::pair<std::wstring, LONG>> logs; // file, level
    LONG options[8] = {1, 0, 0, 0, 0, 0, 0, 1};

    template <class Table, class Key> static const typename Table::value_type* find(const Table& table, const Key& key)
    {
        for (const auto& entry : table)
            if (entry.first == key) return &entry;
        return nullptr;
    }

    LONG action_for(const host_item& item) const
    {
        if (const auto* rule = find(objects, item.id);
            rule && (rule->second.first == item.type || rule->second.first == item.subtype))
            return rule->second.second;
        if (const auto* rule = find(types, item.subtype)) return rule->second;
        if (const auto* rule = find(types, item.type)) return rule->second;
        // The simulated host's categories: type / 100 for 100 to 399, else 0.
        const LONG category = item.type >= 100 && item.type <= 399 ? item.type / 100 : 0;
        if (const auto* rule = find(categories, category)) return rule->second;
        return category >= 1 && category <= 3 ? 5 : 1;
    }
};

class RandomModelTest : public SimHostTest {
protected:
    void SetUp() override
    {
        SimHostTest::SetUp();
        expect_ok(host->put_TraceMode(1)); // lines discarded; calls still counted and can fail
        rules = create<IKSQMergeRules>(CLSID_CMergeRules);
        rules2 = rules.try_as<IKSQMergeRules2>();
        settings = create<IKSQLogSettings>(CLSID_CLogSettings);
        options = create<IKSQMergeOptions5>(CLSID_CMergeOptions);
        const LONG types[] = {120, 130, 205, 310, 999, 8, 0, -4};
        const LONG subtypes[] = {0, 131, 120, 999, 310};
        for (int i = 0; i < 12; ++i) {
            host_item item{L"p" + std::to_wstring(i), types[random() % std::size(types)],
                           subtypes[random() % std::size(subtypes)], nullptr};
            item.object = top_level_object(*host, item.id, item.type, item.subtype);
            items.push_back(std::move(item));
        }
    }

    // Makes the next call of `operation` fail, or none with `operation` null.
    bool maybe_inject(const wchar_t* operation)
    {
        if (random() % 8 != 0) return false;
        expect_ok(host->InjectFailure(com::bstr(operation).get(), 1, injected, com::bstr(L"random failure").get()));
        ++failures_injected;
        return true;
    }

    // A numbered error from `source`, the injected failure, or success.
    void expect_result(HRESULT hr, bool failed_host_call, std::optional<long> number, const wchar_t* source)
    {
        const failure f = failure_of(hr);
        if (failed_host_call) {
            EXPECT_EQ(f.code, injected);
            EXPECT_EQ(f.source, L"KSimHost");
        } else if (number) {
            EXPECT_EQ(f.code, numbered(*number));
            EXPECT_EQ(f.source, source);
        } else {
            EXPECT_EQ(f.code, S_OK);
        }
        expect_ok(host->ClearFailures());
    }

    void set_category()
    {
        const LONG category = static_cast<LONG>(random() % 6) - 1, action = static_cast<LONG>(random() % 20);
        const bool duplicate = model::find(expected.categories, category) != nullptr;
        // On the duplicate path the display text is asked for; otherwise the Enter line fails.
        const bool failing = maybe_inject(duplicate ? L"HostUtility.DescribeCategory" : L"TraceService.Trace");
        const HRESULT hr =
            random() % 2 ? rules->SetCategoryRule(category, action) : rules2->SetCategoryRule(category, action);
        if (!failing && !duplicate) expected.categories.emplace_back(category, action);
        expect_result(hr, failing, duplicate ? std::optional<long>(63600) : std::nullopt, L"CMergeRules");
    }

    void set_type()
    {
        const LONG codes[] = {120, 130, 131, 205, 310, 999, 8, 0};
        const LONG type = codes[random() % std::size(codes)], action = static_cast<LONG>(random() % 20);
        const bool duplicate = model::find(expected.types, type) != nullptr;
        const bool failing = maybe_inject(duplicate ? L"TypeNameService.DescribeObjectType" : L"TraceService.Trace");
        const HRESULT hr = random() % 2 ? rules->SetTypeRule(type, action) : rules2->SetTypeRule(type, action);
        if (!failing && !duplicate) expected.types.emplace_back(type, action);
        expect_result(hr, failing, duplicate ? std::optional<long>(63601) : std::nullopt, L"CMergeRules");
    }

    void set_object()
    {
        const std::wstring id = random() % 4 ? items[random() % items.size()].id : L"P" + std::to_wstring(random() % 3);
        const LONG codes[] = {120, 130, 131, 205, 310, 999, 8};
        const LONG type = codes[random() % std::size(codes)], action = static_cast<LONG>(random() % 20);
        const bool duplicate = model::find(expected.objects, id) != nullptr;
        const bool failing = maybe_inject(duplicate ? L"HostUtility.RaiseError" : L"TraceService.Trace");
        com::bstr text(id);
        const HRESULT hr = random() % 2 ? rules->SetObjectRule(text.get(), type, action)
                                        : rules2->SetObjectRule(text.get(), type, action);
        if (!failing && !duplicate) expected.objects.emplace_back(id, std::make_pair(type, action));
        expect_result(hr, failing, duplicate ? std::optional<long>(63602) : std::nullopt, L"CMergeRules");
    }

    void set_folder()
    {
        const wchar_t* paths[] = {L"\\A", L"\\a", L"\\A\\B", L"\\A\\", L"A", L""};
        const std::wstring path = paths[random() % std::size(paths)];
        const LONG action = static_cast<LONG>(random() % 20);
        const bool duplicate = model::find(expected.folders, path) != nullptr;
        const bool failing = maybe_inject(duplicate ? L"HostUtility.RaiseError" : L"TraceService.Trace");
        const HRESULT hr = rules2->SetFolderRule(com::bstr(path).get(), action);
        if (!failing && !duplicate) expected.folders.emplace_back(path, action);
        expect_result(hr, failing, duplicate ? std::optional<long>(63630) : std::nullopt, L"CMergeRules");
    }

    void find_action()
    {
        const host_item& item = items[random() % items.size()];
        // The ID is read first, whatever the rules.
        const bool failing = maybe_inject(L"HostObject.ID");
        LONG action = -999;
        const HRESULT hr = random() % 2 ? rules->FindAction(item.object.get(), &action)
                                        : rules2->FindAction(item.object.get(), &action);
        expect_result(hr, failing, std::nullopt, L"");
        if (!failing) {
            EXPECT_EQ(action, expected.action_for(item)) << "object " << std::string(item.id.begin(), item.id.end());
        }
    }

    void add_log()
    {
        const wchar_t* names[] = {L"", L"a.log", L"A.log", L"b.log", L"c d.log", L" a.log"};
        const std::wstring name = names[random() % std::size(names)];
        const LONG level = static_cast<LONG>(random() % 7);
        auto setting = create<IKSQLogSetting>(CLSID_CLogSetting);
        expect_ok(setting->put_LogFile(com::bstr(name).get()));
        expect_ok(setting->put_LogLevel(level));
        const bool duplicate = model::find(expected.logs, name) != nullptr;
        const bool failing =
            maybe_inject(name.empty() || duplicate ? L"HostUtility.RaiseError" : L"TraceService.Trace");
        const HRESULT hr = settings->Add(setting.get());
        std::optional<long> number;
        if (name.empty())
            number = 63610;
        else if (duplicate)
            number = 63609;
        else if (!failing)
            expected.logs.emplace_back(name, level);
        expect_result(hr, failing, number, L"CLogSettings");
    }

    void put_option()
    {
        const int which = static_cast<int>(random() % 8);
        const LONG value = which == 0 ? static_cast<LONG>(random() % 7) - 2 : static_cast<LONG>(random());
        const bool refused = which == 0 && (value < 1 || value > 2);
        const bool failing = maybe_inject(refused ? L"HostUtility.DescribeAclOption" : L"TraceService.Trace");
        // In the order of model::options; CopyACLOption also through the version
        // that owns it, CopyFolder through IKSQTransvaneOptions.
        static constexpr HRESULT (STDMETHODCALLTYPE IKSQMergeOptions5::*puts[])(LONG) = {
            &IKSQMergeOptions5::put_CopyACLOption,      &IKSQMergeOptions5::put_ResolutionMethod,
            &IKSQMergeOptions5::put_UserMergeOptions,   &IKSQMergeOptions5::put_MapSchemaObjectsSetting,
            &IKSQMergeOptions5::put_UpdateSchemaOption, &IKSQMergeOptions5::put_LockTakeOverOption,
            &IKSQMergeOptions5::put_TVOnOffMergeOptions};
        HRESULT hr = S_OK;
        if (which == 0 && random() % 2 == 0)
            hr = options.try_as<IKSQMergeOptions>()->put_CopyACLOption(value);
        else if (which == 7)
            hr = options.try_as<IKSQTransvaneOptions>()->put_CopyFolder(value);
        else
            hr = (options.get()->*puts[which])(value);
        if (!failing && !refused) expected.options[which] = value;
        expect_result(hr, failing, refused ? std::optional<long>(63604) : std::nullopt, L"CMergeOptions");
    }

    void check_everything()
    {
        auto texts = [](const auto& table, auto row) {
            std::vector<std::wstring> result;
            for (const auto& entry : table)
                result.push_back(row(entry));
            return result;
        };
        auto key_and_value = [](const auto& entry) {
            std::wstringstream row;
            row << entry.first << L" " << entry.second;
            return row.str();
        };
        hardening::stored_state wanted;
        wanted.category_rules = texts(expected.categories, key_and_value);
        wanted.type_rules = texts(expected.types, key_and_value);
        wanted.object_rules = texts(expected.objects, [](const auto& entry) {
            return entry.first + L" " + std::to_wstring(entry.second.first) + L" " +
                   std::to_wstring(entry.second.second);
        });
        wanted.folder_rules = texts(expected.folders, key_and_value);
        wanted.log_files = texts(expected.logs, key_and_value);
        wanted.options = {L"absent"}; // read below through each version that owns one
        EXPECT_EQ(hardening::read_state(rules.get(), settings.get(), nullptr), wanted);

        LONG values[8] = {};
        expect_ok(options.try_as<IKSQMergeOptions>()->get_CopyACLOption(&values[0]));
        expect_ok(options.try_as<IKSQMergeOptions2>()->get_ResolutionMethod(&values[1]));
        expect_ok(options.try_as<IKSQMergeOptions3>()->get_UserMergeOptions(&values[2]));
        expect_ok(options.try_as<IKSQMergeOptions4>()->get_MapSchemaObjectsSetting(&values[3]));
        expect_ok(options->get_UpdateSchemaOption(&values[4]));
        expect_ok(options->get_LockTakeOverOption(&values[5]));
        expect_ok(options->get_TVOnOffMergeOptions(&values[6]));
        expect_ok(options.try_as<IKSQTransvaneOptions>()->get_CopyFolder(&values[7]));
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(values[i], expected.options[i]) << "option " << i;
    }

    std::mt19937 random{20261210};
    com::com_ptr<IKSQMergeRules> rules;
    com::com_ptr<IKSQMergeRules2> rules2;
    com::com_ptr<IKSQLogSettings> settings;
    com::com_ptr<IKSQMergeOptions5> options;
    std::vector<host_item> items;
    model expected;
    int failures_injected = 0;
};

TEST_F(RandomModelTest, LongRandomSequencesFollowTheModel)
{
    constexpr int calls = 6000;
    for (int call = 0; call < calls; ++call) {
        SCOPED_TRACE(testing::Message() << "call " << call);
        switch (random() % 16) {
        case 0:
        case 1:
            set_category();
            break;
        case 2:
        case 3:
            set_type();
            break;
        case 4:
        case 5:
        case 6:
            set_object();
            break;
        case 7:
            set_folder();
            break;
        case 8:
        case 9:
        case 10:
        case 11:
            find_action();
            break;
        case 12:
        case 13:
            add_log();
            break;
        default:
            put_option();
            break;
        }
        if (call % 250 == 249) check_everything();
        if (HasFailure()) break;
    }
    check_everything();
    EXPECT_GT(failures_injected, calls / 16);
    std::printf("random model: %d calls, %d host failures injected, %zu object rules\n", calls, failures_injected,
                expected.objects.size());
}

} // namespace
