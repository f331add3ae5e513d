// Level sort and object list figures.
//
// Sort: n objects in one level, related as a chain (each object names the next)
// and as a fan (the first object names all the others), for n = 250 to 2,000:
// time, peak working set, levels made and iterator registrations, and the growth
// of the time per doubling of n. Then two shapes that make many levels: a ladder
// (each object names every later one: the deepest an acyclic relation goes, one
// level per object) and two whose passes never end by themselves: a clique (each
// object names every object) and a knot (a chain whose two middle objects name
// each other and themselves). The sort stops those once its passes repeat; the
// same sorts stopped only by the bound on the passes, as before, are measured
// beside them. Each case runs in a process of its own, so that its peak working
// set is its own.
//
// Churn: a list of 1,000 objects that gains one object and loses its first, with
// 1, 4 and 16 iterators registered, in changes per second (the best of five rounds).
//
// The simulated host must be registered (scripts/run-bench.sh does that); it
// discards trace lines meanwhile.
#include <K1PriTyp.h>
#include <KSimHost.h>

#include "ordering/level_list.h"
#include "ordering/level_sort.h"
#include "ordering/object_list.h"
#include "ordering/sort_application_by_levels.h"

#include "com/bstr.h"
#include "com/com_ptr.h"
#include "com/implements.h"

#include "bench_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using bench::check;
using bench::peak_megabytes;
using bench::seconds_now;

com::com_ptr<ISimHostControl> sim_host()
{
    com::com_ptr<ISimHostControl> host;
    check(::CoCreateInstance(CLSID_SimHostControl, nullptr, CLSCTX_INPROC_SERVER, IID_ISimHostControl, host.put_void()),
          "creating the simulated host (is it registered?)");
    check(host->Reset(), "Reset");
    check(host->ClearObjects(), "ClearObjects");
    check(host->put_TraceMode(1), "TraceMode");
    return host;
}

std::wstring object_id(int i) { return L"object-" + std::to_wstring(i); }

com::com_ptr<HostObject> host_object(ISimHostControl& host, int i)
{
    const com::bstr id(object_id(i));
    com::com_ptr<HostObject> object;
    if (FAILED(host.FindObject(id.get(), object.put())))
        check(host.AddItem(id.get(), com::bstr(L"bench").get(), 1, 0, com::bstr(L"").get(), object.put()), "AddItem");
    return object;
}

long call_count(ISimHostControl& host, const wchar_t* operation)
{
    LONG count = 0;
    check(host.CallCount(com::bstr(operation).get(), &count), "CallCount");
    return count;
}

// One sort case, in this process: prints "seconds levels registrations
// peak-MB start-MB", the last the peak before the case was built. A shape
// ending in "-bound" sorts without the search for repeating passes.
int run_sort_case(std::string shape, int n)
{
    const bool bound_only = shape.ends_with("-bound");
    if (bound_only) shape.resize(shape.size() - 6);
    auto host = sim_host();
    const double start_peak = peak_megabytes();
    auto relate = [&](int from, int to) {
        host_object(*host, from);
        host_object(*host, to);
        check(host->Relate(com::bstr(object_id(from)).get(), com::bstr(object_id(to)).get()), "Relate");
    };
    for (int from = 0; from < n; ++from) {
        for (int to = 0; to < n; ++to) {
            const bool related = shape == "chain"    ? to == from + 1
                                 : shape == "fan"    ? from == 0 && to > 0
                                 : shape == "ladder" ? to > from
                                 : shape == "knot"   ? to == from + 1 || ((from == n / 2 || from == n / 2 + 1) &&
                                                                        (to == n / 2 || to == n / 2 + 1))
                                                     : true; // "clique": everything, itself included
            if (related) relate(from, to);
        }
    }
    auto levels = com::as_interface<IKSQLevelList>(com::make<ordering::CLevelList>());
    auto first = com::as_interface<IKSQObjectList>(com::make<ordering::CObjectList>());
    for (int i = 0; i < n; ++i)
        check(first->Add(host_object(*host, i).get()), "Add");
    check(levels->Add(first.get()), "Add level");
    auto sorter = com::as_interface<IKSQSortApplicationObjects>(com::make<ordering::CSortApplicationByLevels>());
    VARIANT argument;
    argument.vt = VT_DISPATCH;
    argument.pdispVal = levels.get();
    check(host->Reset(), "Reset");
    check(host->put_TraceMode(1), "TraceMode");

    const double start = seconds_now();
    if (bound_only)
        ordering::level_sort(levels, ordering::repetition_check::off).run();
    else
        check(sorter->Sort(&argument), "Sort");
    const double seconds = seconds_now() - start;
    const double peak = peak_megabytes();

    // The walk of the levels, one object walk per level, and one reverse scan
    // per related object examined (each enumeration ends with one empty Next).
    long level_count = 0;
    com::com_ptr<IKSQLevelIterator> walker;
    check(levels->CreateLevelIterator(walker.put()), "CreateLevelIterator");
    for (com::com_ptr<IKSQObjectList> level; check(walker->Next(level.put()), "Next"), level;)
        ++level_count;
    const long scans = call_count(*host, L"Enumerator.Next") - call_count(*host, L"HostObject.RelatedObjects");
    std::printf("%.3f %ld %ld %.1f %.1f\n", seconds, level_count, 1 + level_count + scans, peak, start_peak);
    return 0;
}

// Runs each case `rounds` times and keeps its best time: the machine's other
// work only ever slows a run down.
void report_sorts(const char* title, std::initializer_list<const char*> shapes, std::initializer_list<int> sizes,
                  int rounds)
{
    std::printf("%s\n", title);
    std::printf("%-12s %6s %10s %8s %8s %14s %14s\n", "shape", "n", "seconds", "growth", "levels", "registrations",
                "peak MB (+)");
    for (const char* shape : shapes) {
        double previous = 0;
        for (int n : sizes) {
            double best = 0, peak = 0, start_peak = 0;
            long levels = 0, registrations = 0;
            for (int round = 0; round < rounds; ++round) {
                const std::string output = bench::run_child(L"sort " + std::wstring(shape, shape + std::strlen(shape)) +
                                                            L" " + std::to_wstring(n));
                double seconds = 0;
                if (std::sscanf(output.c_str(), "%lf %ld %ld %lf %lf", &seconds, &levels, &registrations, &peak,
                                &start_peak) != 5) {
                    std::fprintf(stderr, "%s %d failed\n", shape, n);
                    std::exit(1);
                }
                if (round == 0 || seconds < best) best = seconds;
            }
            char growth[16] = "";
            if (previous > 0) std::snprintf(growth, sizeof growth, "x%.2f", best / previous);
            std::printf("%-12s %6d %10.3f %8s %8ld %14ld %7.1f (%+.1f)\n", shape, n, best, growth, levels,
                        registrations, peak, peak - start_peak);
            std::fflush(stdout);
            previous = best;
        }
    }
    std::printf("\n");
}

void report_churn()
{
    constexpr int list_size = 1000;
    constexpr int changes_per_round = 4000;
    constexpr int rounds = 5;
    auto host = sim_host();
    std::vector<com::com_ptr<HostObject>> pool;
    for (int i = 0; i < list_size + changes_per_round * rounds; ++i)
        pool.push_back(host_object(*host, i));

    std::printf("Object list churn: %d objects, each change appends one object or removes the first\n", list_size);
    std::printf("%-10s %16s\n", "iterators", "changes/s");
    for (int iterator_count : {1, 4, 16}) {
        auto list = com::as_interface<IKSQObjectList>(com::make<ordering::CObjectList>());
        int next = 0;
        for (; next < list_size; ++next)
            check(list->Add(pool[static_cast<std::size_t>(next)].get()), "Add");
        // The iterators stand in the middle of the list, so removals before them
        // make them reposition.
        std::vector<com::com_ptr<IKSQObjectIterator>> iterators(static_cast<std::size_t>(iterator_count));
        for (auto& iterator : iterators) {
            check(list->CreateObjectIterator(iterator.put()), "CreateObjectIterator");
            for (int i = 0; i < list_size / 2; ++i) {
                com::com_ptr<HostObject> ignored;
                check(iterator->Next(ignored.put()), "Next");
            }
        }
        double best = 0;
        int oldest = 0;
        for (int round = 0; round < rounds; ++round) {
            const double start = seconds_now();
            for (int change = 0; change < changes_per_round; change += 2) {
                check(list->Add(pool[static_cast<std::size_t>(next++)].get()), "Add");
                VARIANT first;
                first.vt = VT_DISPATCH;
                first.pdispVal = pool[static_cast<std::size_t>(oldest++)].get();
                check(list->Remove(&first), "Remove");
            }
            best = std::max(best, changes_per_round / (seconds_now() - start));
        }
        std::printf("%-10d %16.0f\n", iterator_count, best);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int status = 0;
    if (argc == 4 && std::strcmp(argv[1], "sort") == 0) {
        status = run_sort_case(argv[2], std::atoi(argv[3]));
    } else {
        report_sorts("Level sort of n objects in one level (best of 3 runs)", {"chain", "fan"}, {250, 500, 1000, 2000},
                     3);
        report_sorts("The deepest acyclic relation: one level per object", {"ladder"}, {50, 100, 200}, 1);
        report_sorts("Passes that never end, stopped once they repeat", {"clique", "knot"}, {4, 8, 16, 32, 64}, 3);
        report_sorts("The same, stopped only by the bound on the passes", {"clique-bound", "knot-bound"}, {4, 8, 16},
                     1);
        report_churn();
    }
    ::CoUninitialize();
    return status;
}
