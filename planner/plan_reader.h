#pragma once
// Reads a plan from its JSON text and checks every field.

#include "plan.h"

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string_view>

namespace planner {

// A plan that cannot be used; the message names the field, e.g. "objects[3].type".
class plan_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Called now and then with the number of objects read so far.
using read_progress = std::function<void(std::size_t objects)>;

// Objects are converted as the reader reaches them, so that a large inventory
// is never held as a JSON document; the plan keeps its own copies of the texts.
// Throws plan_error.
plan read_plan(std::string_view text, const read_progress& progress = {});

} // namespace planner
