#include "object_enumerator.h"

#include "service_call.h"
#include "simulated.h"

#include <com/error.h>

#include <mutex>

namespace simhost {

namespace {

class object_enumerator final : public simulated<error_target::host_objects, IEnumVARIANT> {
public:
    object_enumerator(shared_object_list objects, operation next, std::size_t position)
        : objects_(std::move(objects)), next_(next), position_(position)
    {}

    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) noexcept override
    {
        ULONG delivered = 0;
        const HRESULT result = guard([&] {
            enter_unlogged(next_);
            require(items);
            if (!fetched && count != 1) throw com::com_error(E_INVALIDARG, nullptr);
            std::lock_guard guard(mutex_);
            for (; delivered < count && position_ < objects_->size(); ++delivered, ++position_) {
                VARIANT& item = items[delivered];
                ::VariantInit(&item);
                item.vt = VT_DISPATCH;
                item.pdispVal = (*objects_)[position_]->as_host_object();
                item.pdispVal->AddRef();
            }
        });
        if (fetched) *fetched = delivered;
        if (FAILED(result)) return result;
        return delivered == count ? S_OK : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE Skip(ULONG count) noexcept override
    {
        std::lock_guard guard(mutex_);
        const std::size_t left = objects_->size() - position_;
        const bool enough = count <= left;
        position_ += enough ? count : left;
        return enough ? S_OK : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE Reset() noexcept override
    {
        std::lock_guard guard(mutex_);
        position_ = 0;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) noexcept override
    {
        return guard([&] {
            require(copy);
            *copy = nullptr;
            std::size_t position = 0;
            {
                std::lock_guard guard(mutex_);
                position = position_;
            }
            *copy = com::make<object_enumerator>(objects_, next_, position).detach();
        });
    }

private:
    const shared_object_list objects_;
    const operation next_;
    std::mutex mutex_;
    std::size_t position_; // guarded by mutex_
};

} // namespace

com::com_ptr<IEnumVARIANT> make_object_enumerator(shared_object_list objects, operation next)
{
    return com::as_interface<IEnumVARIANT>(com::make<object_enumerator>(std::move(objects), next, 0));
}

} // namespace simhost
