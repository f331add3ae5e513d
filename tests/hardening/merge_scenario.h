#pragma once
// A fixed sequence of public calls that makes every host call the component can
// make: thread set-up, each rule setter with its duplicate path, FindAction down
// each step of its precedence, ProcessFolderRule over a small related tree, log
// settings and options. The fault sweep replays it with one host call failing.

#include "support/com_testing.h"
#include "support/sim_host.h"

#include <K1MrgRls.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace hardening {

struct step_outcome {
    HRESULT code = S_OK;
    LONG value = 0; // what the call handed out, where it hands out a number
    testing_support::failure error;
    // Trace lines (as testing_support::trace_lines gives them) the call wrote.
    std::vector<std::wstring> lines;
};

// What the component holds, read through its public interfaces; "absent" for an
// object that was never made.
struct stored_state {
    std::vector<std::wstring> category_rules, type_rules, object_rules, folder_rules, log_files, options;
    bool operator==(const stored_state&) const = default;
};
void PrintTo(const stored_state& state, std::ostream* out);

// What these objects hold; null ones are "absent". Rules are "<key> <action>"
// ("<ID> <type> <action>" for object rules), log settings "<file> <level>", the
// options their eight values, the Transvane option last.
stored_state read_state(IKSQMergeRules* rules, IKSQLogSettings* settings, IKSQMergeOptions5* options);

class merge_scenario {
public:
    // Fills the simulated host's repository; the host must be Reset and empty.
    explicit merge_scenario(ISimHostControl& host);
    ~merge_scenario();
    merge_scenario(const merge_scenario&) = delete;
    merge_scenario& operator=(const merge_scenario&) = delete;

    struct step {
        std::wstring class_label;
        std::wstring member_label;
        std::function<HRESULT(merge_scenario&, LONG&)> call;
    };
    static const std::vector<step>& steps();
    static std::size_t process_step(); // the index of ProcessFolderRule

    // Runs steps from the first on; stops after `limit` steps, or after the first
    // whose HRESULT differs from that of `clean` at the same index.
    std::vector<step_outcome> run(std::size_t limit, const std::vector<step_outcome>* clean = nullptr);

    // The stored state, read with no failure pending.
    stored_state state();

    // Releases every object of the component the scenario holds.
    void release();

private:
    friend struct scenario_calls;
    ISimHostControl& host_;
    com::com_ptr<HostSession> session_;
    std::vector<com::com_ptr<HostObject>> objects_;
    com::com_ptr<IKSQMergeRules> rules_;
    com::com_ptr<IKSQLogSettings> settings_;
    com::com_ptr<IKSQLogSetting> first_setting_, same_name_, unnamed_;
    com::com_ptr<IKSQMergeOptions5> options_;
};

} // namespace hardening
