#pragma once
// The planner's side of the simulated host: fills its repository from the plan
// through the control object and reads back what the component did.

#include "plan.h"
#include <KSimHost.h>

#include "com/bstr.h"
#include "com/com_ptr.h"

#include <K1PriTyp.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

namespace planner {

// The simulated host cannot be loaded or refused a call: the plan cannot be run.
class host_failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using item_progress = std::function<void(std::size_t done, std::size_t total)>;

class simulated_host {
public:
    // Creates the control object by ProgID and resets the host.
    simulated_host();

    void set_categories(const plan& plan);
    void add_items(const plan& plan, const item_progress& progress);
    void relate(const plan& plan);
    com::com_ptr<HostSession> create_session();
    com::com_ptr<HostObject> find_object(std::string_view id);

    // Trace records are kept only while wanted; counting goes on regardless.
    void keep_trace(bool keep);
    std::vector<std::wstring> take_trace();
    // The same, one record at a time, for traces too long to copy whole.
    void take_trace(const std::function<void(std::wstring_view)>& visit);
    // Counts the trace records equal to record from now on, kept or not; empty: none.
    void count_trace(std::wstring_view record);
    long counted_trace(std::wstring_view record);
    // Compact records of the trace (host/trace_record.h), kept in every trace mode
    // while wanted: four numbers per Trace call, taken into records (replaced).
    void keep_trace_records(bool keep);
    void take_trace_records(std::vector<long>& records);
    long trace_label_id(std::wstring_view label);
    std::vector<std::wstring> take_calls();
    // Forgets the calls logged so far (the counts stay): for long runs whose log nobody reads.
    void clear_calls();
    long call_count(const wchar_t* operation);
    // The same, for a name made once (lookups ask for every object).
    long call_count(const com::bstr& operation);

    // The category that the host's utility gives a type code.
    std::int32_t category_of_type(std::int32_t type);

private:
    void check(HRESULT hr, const char* what);

    com::com_ptr<ISimHostControl> control_;
    com::com_ptr<IHostUtility> utility_;
    std::unordered_map<std::int32_t, std::int32_t> categories_;
};

} // namespace planner
