#pragma once
// implements<Bases...>: one C++ object that is one COM object. Each base is an
// interface, or a class that implements one and names it as `interface_type`
// (see dual.h). The first base is the default interface: IUnknown is answered
// with it, and IDispatch with the first base that is a dispatch interface (an
// object without one does not answer IDispatch). The template supplies
// QueryInterface over the bases, an atomic reference count, ISupportErrorInfo and
// the module's object count.

#include "com_ptr.h"
#include "module.h"

#include <oaidl.h>

#include <atomic>
#include <concepts>
#include <new>
#include <type_traits>
#include <utility>

namespace com {

template <class B> struct interface_of {
    using type = B;
};
template <class B>
requires requires { typename B::interface_type; }
struct interface_of<B> {
    using type = typename B::interface_type;
};
template <class B> using interface_of_t = typename interface_of<B>::type;

namespace detail {

// The first of the interfaces that derives from IDispatch, or void.
template <class... Interfaces> struct first_dispatch {
    using type = void;
};
template <class I, class... Rest> struct first_dispatch<I, Rest...> {
    using type = std::conditional_t<std::is_base_of_v<IDispatch, I>, I, typename first_dispatch<Rest...>::type>;
};

} // namespace detail

template <class First, class... Rest> class implements : public First, public Rest..., public ISupportErrorInfo {
public:
    implements(const implements&) = delete;
    implements& operator=(const implements&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept final
    {
        if (!out) return E_POINTER;
        *out = find_interface(iid);
        if (!*out && iid == IID_ISupportErrorInfo && answers_support_error_info())
            *out = static_cast<ISupportErrorInfo*>(this);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept final { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() noexcept final
    {
        const ULONG remaining = --references_;
        if (remaining == 0) {
            // A destructor that hands out and drops a reference to the object
            // must not destroy it a second time.
            references_ = 1;
            delete this;
        }
        return remaining;
    }

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) noexcept final
    {
        return interface_supports_error_info(iid);
    }

protected:
    implements() noexcept { module::object_created(); }
    virtual ~implements() { module::object_destroyed(); }

    // Further interface identifiers that a class answers, for instance an earlier
    // version of its default interface.
    virtual void* find_alias(REFIID) noexcept { return nullptr; }

    // Every interface the object answers reports its failures with error
    // information; a class may say otherwise, or not answer ISupportErrorInfo.
    virtual bool answers_support_error_info() noexcept { return true; }
    virtual HRESULT interface_supports_error_info(REFIID iid) noexcept { return find_interface(iid) ? S_OK : S_FALSE; }

    // The interface `iid` of this object, or null; without ISupportErrorInfo.
    void* find_interface(REFIID iid) noexcept
    {
        if (iid == IID_IUnknown || iid == __uuidof(default_interface)) return static_cast<default_interface*>(this);
        if constexpr (!std::is_void_v<dispatch_interface>) {
            if (iid == IID_IDispatch) return static_cast<dispatch_interface*>(this);
        }
        void* found = nullptr;
        ((found == nullptr && iid == __uuidof(interface_of_t<Rest>) &&
          (found = static_cast<interface_of_t<Rest>*>(this))),
         ...);
        return found ? found : find_alias(iid);
    }

private:
    using default_interface = interface_of_t<First>;
    using dispatch_interface = typename detail::first_dispatch<interface_of_t<First>, interface_of_t<Rest>...>::type;

    std::atomic<ULONG> references_{1};
};

// Creates an object; the result holds the one reference it starts with.
template <class T, class... Args> com_ptr<T> make(Args&&... args)
{
    return com_ptr<T>::attach(new T(std::forward<Args>(args)...));
}

// The object's interface I, with a new reference.
template <class I, class T> com_ptr<I> as_interface(const com_ptr<T>& object) noexcept
{
    return com_ptr<I>(static_cast<I*>(object.get()));
}

} // namespace com
