#pragma once
// A class factory for one creatable class; `create` makes the object.

#include "error.h"
#include "implements.h"

namespace com {

class class_factory final : public implements<IClassFactory> {
public:
    using creator = HRESULT (*)(REFIID iid, void** object);

    explicit class_factory(creator create) noexcept : create_(create) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) noexcept override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return create_(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override
    {
        if (lock)
            module::lock();
        else
            module::unlock();
        return S_OK;
    }

private:
    creator create_;
};

// Creates a T and hands out the interface asked for; the usual `creator`.
template <class T> HRESULT create_instance(REFIID iid, void** object) noexcept
{
    com_ptr<T> instance;
    const HRESULT made = boundary([&] { instance = make<T>(); });
    if (FAILED(made)) return made;
    return instance->QueryInterface(iid, object);
}

} // namespace com
