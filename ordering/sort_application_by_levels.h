#pragma once
// CSortApplicationByLevels: rearranges a level list in place so that the objects
// that a visited object names as related move into a later level.

#include <K1PriTyp.h>

#include "level_sort.h"

#include "com/com_ptr.h"
#include "com/dual.h"
#include "com/implements.h"

#include <string_view>

namespace ordering {

class CSortApplicationByLevels final : public com::implements<com::dual<IKSQSortApplicationObjects>> {
public:
    static constexpr std::wstring_view class_label = sort_class_label;

    HRESULT STDMETHODCALLTYPE Sort(VARIANT* levels) noexcept override;
    HRESULT STDMETHODCALLTYPE putref_Session(HostSession* session) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Session(HostSession** session) noexcept override;

private:
    // Kept for the caller; the sort itself does not use it.
    com::com_ptr<HostSession> session_;
};

} // namespace ordering
