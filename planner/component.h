#pragma once
// The component as a host drives it: its classes created through COM by ProgID,
// the plan's rules, options and log settings handed over, and what it holds read
// back through its iterators.

#include "com_failure.h"
#include "outcome.h"
#include "plan.h"

#include "com/com_ptr.h"

#include <K1MrgRls.h>

#include <optional>
#include <stdexcept>
#include <vector>

namespace planner {

// The component cannot be loaded, or failed where a host cannot go on.
class component_failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class component {
public:
    // Creates CMergeRules, CMergeOptions and CLogSettings.
    component();

    // Each refused entry becomes a refusal of outcome; the rest go on.
    void set_rules(const plan& plan, outcome& outcome);
    void set_options(const plan& plan, outcome& outcome);
    void add_logs(const plan& plan, outcome& outcome);

    std::optional<com_failure> process_folder_rules(HostSession& session);
    HRESULT find_action(HostObject& object, LONG& action) { return rules_->FindAction(&object, &action); }

    std::vector<held_object_rule> object_rules();
    std::vector<type_rule> type_rules();
    std::vector<std::pair<merge_option, std::int32_t>> options();
    std::vector<log_setting> logs();

private:
    com::com_ptr<IKSQMergeRules2> rules_;
    com::com_ptr<_CMergeRules> folder_processing_;
    com::com_ptr<IKSQMergeOptions5> options_;
    com::com_ptr<IKSQLogSettings> log_settings_;
};

} // namespace planner
