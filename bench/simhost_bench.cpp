// Building the simulated host's metadata inventory.
//
// AddItems of 1,000,000 items in one call (1,000 top-level folders of 999 items
// each, the item names repeating in every folder) into an empty repository, in
// items per second, against the same call for 10,000 items (the baseline: a
// ratio near 1 means no insertion costs more in a large repository). Then
// 10,000 items added to the repository that holds the million, against the same
// into an empty one; ClearObjects of the million; and the baseline's rows with
// one AddItem call each.
// Best of three rounds each. The host runs in this process (in_process_host), so
// nothing needs registering.
#include <KSimHost.h>

#include <simhost/in_process.h>

#include "com/bstr.h"
#include "com/com_ptr.h"

#include "bench_support.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using bench::check;
using bench::peak_megabytes;
using bench::seconds_now;

constexpr long folder_type = 8;
constexpr long item_type = 5;
constexpr int rounds = 3;

// The five arrays of one AddItems call.
class item_arrays {
public:
    // `count` rows whose IDs start with `prefix`: every 1,000th row a top-level
    // folder, the rows after it its contents.
    item_arrays(const std::wstring& prefix, long count)
    {
        for (SAFEARRAY*& array : texts_)
            array = ::SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(count));
        for (SAFEARRAY*& array : numbers_)
            array = ::SafeArrayCreateVector(VT_I4, 0, static_cast<ULONG>(count));
        BSTR* ids = access<BSTR>(texts_[0]);
        BSTR* names = access<BSTR>(texts_[1]);
        BSTR* parents = access<BSTR>(texts_[2]);
        LONG* types = access<LONG>(numbers_[0]);
        LONG* subtypes = access<LONG>(numbers_[1]);
        std::wstring folder_path;
        for (long row = 0; row < count; ++row) {
            const bool folder = row % 1000 == 0;
            const std::wstring name =
                folder ? prefix + L"Folder" + std::to_wstring(row / 1000) : L"Object" + std::to_wstring(row % 1000);
            ids[row] = ::SysAllocString((prefix + std::to_wstring(row)).c_str());
            names[row] = ::SysAllocString(name.c_str());
            parents[row] = ::SysAllocString(folder ? L"" : folder_path.c_str());
            types[row] = folder ? folder_type : item_type;
            subtypes[row] = 0;
            if (folder) folder_path = L"\\" + name;
        }
        for (SAFEARRAY* array : texts_)
            ::SafeArrayUnaccessData(array);
        for (SAFEARRAY* array : numbers_)
            ::SafeArrayUnaccessData(array);
    }
    ~item_arrays()
    {
        for (SAFEARRAY* array : texts_)
            ::SafeArrayDestroy(array);
        for (SAFEARRAY* array : numbers_)
            ::SafeArrayDestroy(array);
    }
    item_arrays(const item_arrays&) = delete;
    item_arrays& operator=(const item_arrays&) = delete;

    long add_to(ISimHostControl& host) const
    {
        long added = 0;
        check(host.AddItems(texts_[0], texts_[1], numbers_[0], numbers_[1], texts_[2], &added), "AddItems");
        return added;
    }

    // The same rows with one AddItem call each.
    void add_one_by_one(ISimHostControl& host) const
    {
        BSTR* ids = access<BSTR>(texts_[0]);
        BSTR* names = access<BSTR>(texts_[1]);
        BSTR* parents = access<BSTR>(texts_[2]);
        LONG* types = access<LONG>(numbers_[0]);
        LONG* subtypes = access<LONG>(numbers_[1]);
        const ULONG count = texts_[0]->rgsabound[0].cElements;
        for (ULONG row = 0; row < count; ++row) {
            com::com_ptr<HostObject> item;
            check(host.AddItem(ids[row], names[row], types[row], subtypes[row], parents[row], item.put()), "AddItem");
        }
        for (SAFEARRAY* array : texts_)
            ::SafeArrayUnaccessData(array);
        for (SAFEARRAY* array : numbers_)
            ::SafeArrayUnaccessData(array);
    }

private:
    template <class T> static T* access(SAFEARRAY* array)
    {
        void* data = nullptr;
        check(::SafeArrayAccessData(array, &data), "SafeArrayAccessData");
        return static_cast<T*>(data);
    }

    SAFEARRAY* texts_[3]{};   // IDs, names, parent paths
    SAFEARRAY* numbers_[2]{}; // type codes, subtype codes
};

// Seconds of `work`, the best of the rounds; `prepare` runs untimed before each.
template <class Prepare, class Work> double best_time(Prepare prepare, Work work)
{
    double best = 1e30;
    for (int round = 0; round < rounds; ++round) {
        prepare();
        const double start = seconds_now();
        work();
        best = std::min(best, seconds_now() - start);
    }
    return best;
}

void report(const char* what, long items, double seconds)
{
    std::printf("%-58s %9ld items %8.3f s %12.0f items/s\n", what, items, seconds, items / seconds);
}

} // namespace

int main()
{
    check(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), "CoInitializeEx");
    {
        simhost::in_process_host served;
        com::com_ptr<ISimHostControl> host;
        check(::CoCreateInstance(CLSID_SimHostControl, nullptr, CLSCTX_INPROC_SERVER, IID_ISimHostControl,
                                 host.put_void()),
              "creating the in-process control object");
        const auto clear = [&] { check(host->ClearObjects(), "ClearObjects"); };

        constexpr long million = 1'000'000;
        constexpr long small = 10'000;
        const item_arrays large_rows(L"L", million);
        const item_arrays small_rows(L"S", small);

        const double baseline = best_time(clear, [&] { small_rows.add_to(*host); });
        report("AddItems into an empty repository (baseline)", small, baseline);
        const double large = best_time(clear, [&] { large_rows.add_to(*host); });
        report("AddItems into an empty repository", million, large);
        std::printf("  time per item against the baseline: %.2f\n", (large / million) / (baseline / small));

        // The million stays while the small batch goes in and out again.
        clear();
        large_rows.add_to(*host);
        double onto_large = 1e30;
        for (int round = 0; round < rounds; ++round) {
            const item_arrays extra(L"E" + std::to_wstring(round) + L"_", small);
            const double start = seconds_now();
            extra.add_to(*host);
            onto_large = std::min(onto_large, seconds_now() - start);
        }
        report("AddItems into a repository of 1,000,000 items", small, onto_large);
        std::printf("  time per item against the baseline: %.2f\n", onto_large / baseline);

        const double clearing = best_time([&] { clear(), large_rows.add_to(*host); }, clear);
        report("ClearObjects", million, clearing);

        const double one_by_one = best_time(clear, [&] { small_rows.add_one_by_one(*host); });
        report("AddItem, one call per item (the baseline's rows)", small, one_by_one);
        clear();
    }
    ::CoUninitialize();
    std::printf("peak working set: %.0f MB\n", peak_megabytes());
    return 0;
}
