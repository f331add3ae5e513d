#pragma once
// Access to the simulated host from tests: its control object, the trace lines
// and calls it recorded.

#include <KSimHost.h>

#include "com/com_ptr.h"

#include <string>
#include <vector>

namespace testing_support {

// The simulated host's control object (created on the calling thread).
com::com_ptr<ISimHostControl> sim_host();

// Recorded trace lines as "Enter <class> <member>" or "Leave <class> <member>";
// a line of another level or format is kept whole, so that comparisons show it.
std::vector<std::wstring> trace_lines(ISimHostControl& host);

// Recorded calls other than Trace, as the simulated host writes them; without the
// creation of service instances unless asked for.
std::vector<std::wstring> calls(ISimHostControl& host, bool with_creation = false);

long call_count(ISimHostControl& host, const wchar_t* operation);

} // namespace testing_support
