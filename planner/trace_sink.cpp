#include "trace_sink.h"

#include "text_encoding.h"
#include "trace_text.h"

#include <stdexcept>

namespace planner {

trace_sink::trace_sink(const std::string& destination)
{
    if (destination == "-") {
        out_ = stderr;
        return;
    }
    out_ = ::_wfopen(widen(destination).c_str(), L"wb");
    if (!out_) throw std::runtime_error("cannot open the trace file " + destination);
    std::setvbuf(out_, nullptr, _IOFBF, 1 << 16);
    owned_ = true;
}

trace_sink::~trace_sink()
{
    if (owned_)
        std::fclose(out_);
    else if (out_)
        std::fflush(out_);
}

void trace_sink::write(const std::vector<std::wstring>& records)
{
    for (const std::wstring& record : records)
        write(record);
}

void trace_sink::write(std::wstring_view record)
{
    if (!out_) return;
    const std::string line = narrow(trace_line_of(record)) + "\n";
    std::fwrite(line.data(), 1, line.size(), out_);
}

} // namespace planner
