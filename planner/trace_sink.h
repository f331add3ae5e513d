#pragma once
// Where --trace sends the component's trace lines: a file, standard error, or nowhere.

#include <cstdio>
#include <string>
#include <vector>

namespace planner {

class trace_sink {
public:
    trace_sink() noexcept = default;
    // "-" is standard error. Throws std::runtime_error when the file cannot be opened.
    explicit trace_sink(const std::string& destination);
    trace_sink(const trace_sink&) = delete;
    trace_sink& operator=(const trace_sink&) = delete;
    ~trace_sink();

    bool wanted() const noexcept { return out_ != nullptr; }
    void write(const std::vector<std::wstring>& records);
    void write(std::wstring_view record);

private:
    std::FILE* out_ = nullptr;
    bool owned_ = false;
};

} // namespace planner
