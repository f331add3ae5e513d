// FindAction throughput with 1,000,000 object rules, for each way a lookup can
// end, through the vtable as the host calls it; beside each, a baseline loop that
// makes only the host calls FindAction is obliged to make (its trace lines and
// its property reads), and the ratio of the two (each figure the best of five
// rounds). Also the time and memory it
// takes to set the rules. The simulated host discards trace lines meanwhile.
#include <K1MrgRls.h>
#include <K1PriTyp.h>
#include <KSimHost.h>

#include "com/bstr.h"
#include "com/com_ptr.h"
#include "com/safearray.h"

#include "bench_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using bench::check;
using bench::peak_megabytes;
using bench::seconds_now;

constexpr int rule_count = 1'000'000;

template <class I> com::com_ptr<I> create(REFCLSID clsid)
{
    com::com_ptr<I> object;
    check(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I), object.put_void()), "CoCreateInstance");
    return object;
}

// One way a lookup ends: the host object that leads there, the trace lines the
// lookup must write and the host reads it must make.
struct scenario {
    const char* name;
    com::com_ptr<HostObject> object;
    std::vector<std::pair<const wchar_t*, const wchar_t*>> traced; // class and member labels
    bool reads_type;
    bool reads_subtype;
    bool asks_category;
};

// The obliged host calls of one lookup, made directly.
class baseline {
public:
    baseline() : trace_(create<ITraceService>(CLSID_TraceService)), utility_(create<IHostUtility>(CLSID_HostUtility)) {}

    void lookup(const scenario& s)
    {
        line(L"[%1][%2] Function Enter", L"CMergeRules", L"IKSQMergeRules_FindAction");
        com::bstr id;
        check(s.object->get_ID(id.put()), "ID");
        LONG type = 0, subtype = 0, category = 0;
        if (s.reads_type) check(s.object->get_TypeCode(&type), "TypeCode");
        if (s.reads_subtype) check(s.object->get_SubtypeCode(&subtype), "SubtypeCode");
        if (s.asks_category) check(utility_->CategoryOfType(&type, &category), "CategoryOfType");
        for (auto [class_label, member_label] : s.traced) {
            line(L"[%1][%2] Function Enter", class_label, member_label);
            line(L"[%1][%2] Function Leave", class_label, member_label);
        }
        line(L"[%1][%2] Function Leave", L"CMergeRules", L"IKSQMergeRules_FindAction");
    }

private:
    void line(const wchar_t* format, const wchar_t* class_label, const wchar_t* member_label)
    {
        com::bstr format_text(format);
        com::safe_array arguments{class_label, member_label};
        check(trace_->Trace(32, format_text.ref(), arguments.ref()), "Trace");
    }

    com::com_ptr<ITraceService> trace_;
    com::com_ptr<IHostUtility> utility_;
};

// The best rate of several rounds: the machine's other work only ever slows a
// round down.
template <class Call> double calls_per_second(int iterations, Call call)
{
    constexpr int rounds = 5;
    const int per_round = iterations / rounds;
    for (int i = 0; i < per_round / 10; ++i)
        call(); // warm up
    double best = 0;
    for (int round = 0; round < rounds; ++round) {
        const double start = seconds_now();
        for (int i = 0; i < per_round; ++i)
            call();
        best = std::max(best, per_round / (seconds_now() - start));
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    const int iterations = argc > 1 ? std::atoi(argv[1]) : 200'000;
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    {
        auto host = create<ISimHostControl>(CLSID_SimHostControl);
        check(host->Reset(), "Reset");
        check(host->put_TraceMode(1), "TraceMode");

        const double memory_before = peak_megabytes();
        auto rules = create<IKSQMergeRules>(CLSID_CMergeRules);
        const double set_start = seconds_now();
        for (int i = 0; i < rule_count; ++i) {
            wchar_t id[32];
            std::swprintf(id, 32, L"{object-%07d}", i);
            check(rules->SetObjectRule(com::bstr(id).get(), 100 + i % 50, 2), "SetObjectRule");
        }
        const double set_seconds = seconds_now() - set_start;
        const double memory_after = peak_megabytes();

        check(rules->SetTypeRule(9001, 3), "SetTypeRule");
        check(rules->SetTypeRule(9002, 4), "SetTypeRule");
        check(host->SetCategory(9003, 7), "SetCategory");
        check(rules->SetCategoryRule(7, 6), "SetCategoryRule");

        auto host_object = [&](const wchar_t* id, LONG type, LONG subtype) {
            com::com_ptr<HostObject> object;
            check(host->AddObject(com::bstr(id).get(), type, subtype, com::bstr(L"\\bench").get(), object.put()),
                  "AddObject");
            return object;
        };
        const std::vector<scenario> scenarios = {
            {"object rule",
             host_object(L"{object-0123456}", 100 + 123456 % 50, 0),
             {{L"CObjectRule", L"IKSQObjectRule_Type"}, {L"CObjectRule", L"IKSQObjectRule_Action"}},
             true,
             false,
             false},
            {"subtype rule",
             host_object(L"sub", 50, 9001),
             {{L"CObjectTypeRule", L"IKSQObjectTypeRule_Action"}},
             false,
             true,
             false},
            {"type rule",
             host_object(L"type", 9002, 51),
             {{L"CObjectTypeRule", L"IKSQObjectTypeRule_Action"}},
             true,
             true,
             false},
            {"category rule",
             host_object(L"category", 9003, 52),
             {{L"CCategoryRule", L"IKSQCategoryRule_Action"}},
             true,
             true,
             true},
            {"default", host_object(L"default", 9004, 53), {{L"CMergeRules", L"SetDefaults"}}, true, true, true},
        };

        std::printf("K1MrgRls FindAction benchmark: %d object rules, %d lookups per figure\n", rule_count, iterations);
        std::printf("setting the rules: %.2f s (%.0f rules/s), peak working set +%.0f MB (%.0f MB in all)\n\n",
                    set_seconds, rule_count / set_seconds, memory_after - memory_before, memory_after);
        std::printf("%-14s %16s %16s %8s\n", "lookup ends at", "FindAction/s", "obliged calls/s", "ratio");
        baseline obliged;
        for (const scenario& s : scenarios) {
            LONG action = 0;
            const double component =
                calls_per_second(iterations, [&] { check(rules->FindAction(s.object.get(), &action), "FindAction"); });
            const double base = calls_per_second(iterations, [&] { obliged.lookup(s); });
            std::printf("%-14s %16.0f %16.0f %8.2f\n", s.name, component, base, base / component);
        }
        check(host->put_TraceMode(0), "TraceMode");
    }
    ::CoUninitialize();
    return 0;
}
