#pragma once
// A class factory for one creatable class; `create` makes the object.

#include "error.h"
#include "implements.h"

#include <string_view>

namespace com {

class class_factory final : public implements<IClassFactory> {
public:
    using creator = HRESULT (*)(REFIID iid, void** object);

    explicit class_factory(creator create) noexcept : create_(create) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) noexcept override
    {
        return boundary(source, [&] {
            if (!object) throw_with_new_info(E_POINTER, source, L"No place for the object was given (a null pointer).");
            *object = nullptr;
            if (outer) throw_with_new_info(CLASS_E_NOAGGREGATION, source, message_text(CLASS_E_NOAGGREGATION));
            check(create_(iid, object));
        });
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override
    {
        return boundary(source, [&] {
            if (lock)
                module::lock();
            else
                module::unlock();
        });
    }

private:
    static constexpr std::wstring_view source = L"ClassFactory";
    creator create_;
};

// The name a class reports its failures under: its `class_label`, if it has one.
template <class T> constexpr std::wstring_view class_label_of() noexcept
{
    if constexpr (requires { T::class_label; })
        return T::class_label;
    else
        return L"ClassFactory";
}

// Creates a T and hands out the interface asked for; the usual `creator`.
template <class T> HRESULT create_instance(REFIID iid, void** object) noexcept
{
    constexpr std::wstring_view label = class_label_of<T>();
    return boundary(label, [&] {
        com_ptr<T> instance = make<T>();
        const HRESULT answered = instance->QueryInterface(iid, object);
        if (FAILED(answered)) throw_with_new_info(answered, label, message_text(answered));
    });
}

} // namespace com
