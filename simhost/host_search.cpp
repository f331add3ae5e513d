#include "host_search.h"

#include "object_collection.h"
#include "repository.h"
#include "service_call.h"
#include "simulated.h"

#include <com/bstr.h>
#include <com/dual.h>
#include <com/error.h>

#include <K5TYPLIB.h>

#include <mutex>
#include <string>
#include <vector>

namespace simhost {

namespace {

// A search's type filter: the object types the search returns.
class type_filter final : public simulated<error_target::host_objects, com::dual<TypeFilter>> {
public:
    std::vector<long> types()
    {
        std::lock_guard lock(mutex_);
        return types_;
    }

    HRESULT STDMETHODCALLTYPE AddType(LONG type_code) noexcept override
    {
        return guard([&] {
            enter(operation::filter_add_type, {number_text(type_code)});
            std::lock_guard lock(mutex_);
            types_.push_back(type_code);
        });
    }
    SIMHOST_RESERVED(Reserved01)

private:
    std::mutex mutex_;
    std::vector<long> types_; // guarded by mutex_
};

class host_search final : public simulated<error_target::host_objects, com::dual<HostSearch>> {
public:
    host_search() : filter_(com::make<type_filter>()) {}

    HRESULT STDMETHODCALLTYPE SetDomain(LONG domain) noexcept override
    {
        return guard([&] {
            enter(operation::search_set_domain, {number_text(domain)});
            std::lock_guard lock(mutex_);
            domain_ = domain;
        });
    }

    HRESULT STDMETHODCALLTYPE SetNamePattern(BSTR pattern) noexcept override
    {
        return guard([&] {
            const std::wstring_view text = com::bstr::view_of(pattern);
            enter(operation::search_set_name_pattern, {text});
            std::lock_guard lock(mutex_);
            pattern_ = text;
        });
    }

    HRESULT STDMETHODCALLTYPE get_TypeFilter(TypeFilter** filter) noexcept override
    {
        return guard([&] {
            enter(operation::search_type_filter, {});
            require(filter);
            *filter = filter_.get();
            (*filter)->AddRef();
        });
    }

    HRESULT STDMETHODCALLTYPE Execute(LONG options, HostFolder* scope, HostContext* context, LONG reserved1,
                                      LONG reserved2, IDispatch** results) noexcept override
    {
        return guard([&] {
            enter(operation::search_execute,
                  {number_text(options), scope ? L"object" : L"null", context ? L"object" : L"null",
                   number_text(reserved1), number_text(reserved2)});
            require(results);
            *results = nullptr;
            std::wstring pattern;
            {
                std::lock_guard lock(mutex_);
                pattern = pattern_;
            }
            *results =
                make_object_collection(find_by_name(pattern, filter_->types()), search_results_operations).detach();
        });
    }

    SIMHOST_RESERVED(Reserved01)
    SIMHOST_RESERVED(Reserved03)
    SIMHOST_RESERVED(Reserved04)
    SIMHOST_RESERVED(Reserved05)
    SIMHOST_RESERVED(Reserved06)
    SIMHOST_RESERVED(Reserved07)
    SIMHOST_RESERVED(Reserved08)
    SIMHOST_RESERVED(Reserved10)
    SIMHOST_RESERVED(Reserved11)
    SIMHOST_RESERVED(Reserved12)
    SIMHOST_RESERVED(Reserved13)
    SIMHOST_RESERVED(Reserved14)
    SIMHOST_RESERVED(Reserved16)
    SIMHOST_RESERVED(Reserved17)
    SIMHOST_RESERVED(Reserved18)
    SIMHOST_RESERVED(Reserved19)
    SIMHOST_RESERVED(Reserved20)

private:
    const com::com_ptr<type_filter> filter_;
    std::mutex mutex_;
    long domain_ = 0;      // guarded by mutex_; recorded, selects nothing
    std::wstring pattern_; // guarded by mutex_
};

} // namespace

com::com_ptr<IDispatch> make_host_search() { return com::as_interface<IDispatch>(com::make<host_search>()); }

} // namespace simhost
