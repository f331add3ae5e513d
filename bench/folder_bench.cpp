// ProcessFolderRule with 100, 1,000 and 10,000 folder rules over folders of 100
// objects each (up to 1,010,000 object rules: each folder and its contents),
// through the vtable as the host calls it. Beside each figure, the baseline: the
// same object rules set directly with SetObjectRule, IDs at hand; and the ratio
// of the two. Each size runs in a process of its own (its peak working set is its
// own) and each time is the best of several rounds, each on a fresh store. The
// simulated host discards trace lines meanwhile.
//
//   folder_bench [rounds]        all sizes (default 15, 5 and 3 rounds: the small
//                                sizes vary most from run to run)
//   folder_bench case N rounds   one size, printing its raw figures
#include <K1MrgRls.h>
#include <KSimHost.h>

#include "com/bstr.h"
#include "com/com_ptr.h"

#include "bench_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

using bench::check;
using bench::peak_megabytes;
using bench::seconds_now;

constexpr int objects_per_folder = 100;
constexpr LONG folder_action = 3;

template <class I> com::com_ptr<I> create(REFCLSID clsid)
{
    com::com_ptr<I> object;
    check(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I), object.put_void()), "CoCreateInstance");
    return object;
}

std::wstring five_digits(int n)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"%05d", n);
    return text;
}

// One object rule that the folder rules should make.
struct expected_rule {
    com::bstr id;
    LONG type;
};

// Rows for AddItems, sent in batches.
class item_rows {
public:
    explicit item_rows(ISimHostControl& host) : host_(host) {}
    ~item_rows() { flush(); }

    void add(const std::wstring& id, const std::wstring& name, LONG type, const std::wstring& parent)
    {
        ids_.push_back(id);
        names_.push_back(name);
        types_.push_back(type);
        parents_.push_back(parent);
        if (ids_.size() == 50'000) flush();
    }

    void flush()
    {
        if (ids_.empty()) return;
        SAFEARRAY* ids = texts(ids_);
        SAFEARRAY* names = texts(names_);
        SAFEARRAY* types = numbers(types_);
        SAFEARRAY* subtypes = numbers(std::vector<LONG>(types_.size(), 0));
        SAFEARRAY* parents = texts(parents_);
        LONG added = 0;
        check(host_.AddItems(ids, names, types, subtypes, parents, &added), "AddItems");
        for (SAFEARRAY* array : {ids, names, types, subtypes, parents})
            ::SafeArrayDestroy(array);
        ids_.clear();
        names_.clear();
        types_.clear();
        parents_.clear();
    }

private:
    static SAFEARRAY* texts(const std::vector<std::wstring>& values)
    {
        SAFEARRAY* array = ::SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(values.size()));
        BSTR* data = nullptr;
        check(::SafeArrayAccessData(array, reinterpret_cast<void**>(&data)), "SafeArrayAccessData");
        for (std::size_t i = 0; i < values.size(); ++i)
            data[i] = com::bstr(values[i]).detach();
        ::SafeArrayUnaccessData(array);
        return array;
    }
    static SAFEARRAY* numbers(const std::vector<LONG>& values)
    {
        SAFEARRAY* array = ::SafeArrayCreateVector(VT_I4, 0, static_cast<ULONG>(values.size()));
        LONG* data = nullptr;
        check(::SafeArrayAccessData(array, reinterpret_cast<void**>(&data)), "SafeArrayAccessData");
        std::copy(values.begin(), values.end(), data);
        ::SafeArrayUnaccessData(array);
        return array;
    }

    ISimHostControl& host_;
    std::vector<std::wstring> ids_, names_, parents_;
    std::vector<LONG> types_;
};

// A folder \Bench holding `folders` folders of 100 objects each; the folder
// paths, and the object rules that folder rules on them make, in their order.
void build_inventory(ISimHostControl& host, int folders, std::vector<std::wstring>& paths,
                     std::vector<expected_rule>& rules)
{
    item_rows rows(host);
    rows.add(L"bench", L"Bench", 8, L"");
    for (int f = 0; f < folders; ++f) {
        const std::wstring name = L"Folder" + five_digits(f);
        const std::wstring path = L"\\Bench\\" + name;
        const std::wstring folder_id = L"folder-" + five_digits(f);
        rows.add(folder_id, name, 8, L"\\Bench");
        paths.push_back(path);
        rules.push_back({com::bstr(folder_id), 8});
        for (int i = 0; i < objects_per_folder; ++i) {
            const std::wstring id = folder_id + L"-object-" + std::to_wstring(i);
            const LONG type = 100 + i % 50;
            rows.add(id, L"Object" + std::to_wstring(i), type, path);
            rules.push_back({com::bstr(id), type});
        }
    }
}

// One size, in this process: prints "process-seconds baseline-seconds
// inventory-peak-MB peak-MB start-peak-MB".
int run_case(int folders, int rounds)
{
    const double start_peak = peak_megabytes();
    auto host = create<ISimHostControl>(CLSID_SimHostControl);
    check(host->Reset(), "Reset");
    check(host->ClearObjects(), "ClearObjects");
    check(host->put_TraceMode(1), "TraceMode");
    std::vector<std::wstring> paths;
    std::vector<expected_rule> expected;
    build_inventory(*host, folders, paths, expected);
    com::com_ptr<HostSession> session;
    check(host->CreateSession(VARIANT_FALSE, session.put()), "CreateSession");
    com::com_ptr<HostObject> last_object;
    check(host->FindObject(expected.back().id.get(), last_object.put()), "FindObject");
    const double inventory_peak = peak_megabytes();

    double best_process = 0, best_baseline = 0;
    for (int round = 0; round < rounds; ++round) {
        {
            auto rules = create<IKSQMergeRules2>(CLSID_CMergeRules);
            for (const std::wstring& path : paths)
                check(rules->SetFolderRule(com::bstr(path).get(), folder_action), "SetFolderRule");
            auto own = rules.try_as<_CMergeRules>();
            HostSession* passed = session.get();
            const double start = seconds_now();
            check(own->ProcessFolderRule(&passed), "ProcessFolderRule");
            const double seconds = seconds_now() - start;
            if (round == 0 || seconds < best_process) best_process = seconds;
            LONG action = 0;
            check(rules->FindAction(last_object.get(), &action), "FindAction");
            if (action != folder_action) {
                std::fprintf(stderr, "the last object got action %ld\n", static_cast<long>(action));
                return 1;
            }
        }
        {
            auto rules = create<IKSQMergeRules2>(CLSID_CMergeRules);
            const double start = seconds_now();
            for (const expected_rule& rule : expected)
                check(rules->SetObjectRule(rule.id.get(), rule.type, folder_action), "SetObjectRule");
            const double seconds = seconds_now() - start;
            if (round == 0 || seconds < best_baseline) best_baseline = seconds;
        }
    }
    std::printf("%.4f %.4f %.1f %.1f %.1f\n", best_process, best_baseline, inventory_peak, peak_megabytes(),
                start_peak);
    check(host->ClearObjects(), "ClearObjects");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int status = 0;
    if (argc == 4 && std::strcmp(argv[1], "case") == 0) {
        status = run_case(std::atoi(argv[2]), std::atoi(argv[3]));
    } else {
        const int given_rounds = argc > 1 ? std::atoi(argv[1]) : 0;
        std::printf("K1MrgRls ProcessFolderRule benchmark: folders of %d objects\n", objects_per_folder);
        std::printf("%8s %7s %12s %10s %14s %16s %12s %8s %20s\n", "folders", "rounds", "obj. rules", "seconds",
                    "rules/s", "growth (base)", "baseline s", "ratio", "peak MB (+inv, +run)");
        double previous = 0, previous_baseline = 0;
        for (auto [folders, default_rounds] : {std::pair{100, 15}, {1'000, 5}, {10'000, 3}}) {
            const int rounds = given_rounds > 0 ? given_rounds : default_rounds;
            const std::string output =
                bench::run_child(L"case " + std::to_wstring(folders) + L" " + std::to_wstring(rounds));
            double seconds = 0, baseline = 0, inventory_peak = 0, peak = 0, start_peak = 0;
            if (std::sscanf(output.c_str(), "%lf %lf %lf %lf %lf", &seconds, &baseline, &inventory_peak, &peak,
                            &start_peak) != 5) {
                std::fprintf(stderr, "%d folders failed\n", folders);
                status = 1;
                break;
            }
            const long rules = static_cast<long>(folders) * (objects_per_folder + 1);
            // The baseline's growth beside ours tells the machine's share in it.
            char growth[32] = "";
            if (previous > 0)
                std::snprintf(growth, sizeof growth, "x%.2f (x%.2f)", seconds / previous, baseline / previous_baseline);
            std::printf("%8d %7d %12ld %10.3f %14.0f %16s %12.3f %8.2f %7.1f (+%.1f, +%.1f)\n", folders, rounds, rules,
                        seconds, rules / seconds, growth, baseline, seconds / baseline, peak,
                        inventory_peak - start_peak, peak - inventory_peak);
            std::fflush(stdout);
            previous = seconds;
            previous_baseline = baseline;
        }
    }
    ::CoUninitialize();
    return status;
}
