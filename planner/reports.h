#pragma once
// The planner's reports: a readable one and a JSON document, written as they
// are produced, so that a large plan's report is never held whole.

#include "outcome.h"
#include "plan.h"
#include "rule_usage.h"

#include <cstdio>
#include <string>
#include <vector>

namespace planner {

// Both include what each rule did (rule_usage.h).
void write_text_report(std::FILE* out, const plan& plan, const outcome& outcome);
void write_json_report(std::FILE* out, const plan& plan, const outcome& outcome);
// One row per answer, in resolve order, as RFC 4180 says (UTF-8, a header row, CRLF).
void write_csv_report(std::FILE* out, const plan& plan, const outcome& outcome);

// "2 replace", or "2" when the plan gives the action no name.
std::string action_label(const plan& plan, std::int32_t action);
// "object rule 1", "option 0 (CopyACLOption)", "log setting 2 (merge.log)".
std::string refusal_label(const plan& plan, const refusal& refusal);
// "the folder relations never settle; the sort stopped after 3 levels", for an
// expansion whose sort stopped; empty otherwise.
std::string unsettled_sort_text(const folder_expansion& expansion);
// A rule's line of the text report, after its label: "2 objects",
// "decided nothing: its path found no folder (did you mean \Sales?)", "refused: error ...".
std::string rule_usage_text(const rule_usage& usage);

} // namespace planner
