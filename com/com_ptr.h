#pragma once
// An owning reference to a COM interface.

#include "throw.h"

#include <objbase.h>

#include <cstddef>
#include <utility>

namespace com {

template <class T> class com_ptr {
public:
    com_ptr() noexcept = default;
    com_ptr(std::nullptr_t) noexcept {}
    // Takes a new reference to an existing pointer.
    explicit com_ptr(T* p) noexcept : p_(p) { add_ref(); }
    com_ptr(const com_ptr& other) noexcept : p_(other.p_) { add_ref(); }
    com_ptr(com_ptr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    template <class U> com_ptr(const com_ptr<U>& other) noexcept : p_(other.get()) { add_ref(); }
    template <class U> com_ptr(com_ptr<U>&& other) noexcept : p_(other.detach()) {}
    ~com_ptr() { release(); }

    com_ptr& operator=(com_ptr other) noexcept
    {
        std::swap(p_, other.p_);
        return *this;
    }

    // Adopts a pointer whose reference the caller hands over.
    static com_ptr attach(T* p) noexcept
    {
        com_ptr result;
        result.p_ = p;
        return result;
    }
    [[nodiscard]] T* detach() noexcept { return std::exchange(p_, nullptr); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T& operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    // For out-parameters: releases the current pointer and exposes the slot.
    T** put() noexcept
    {
        release();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    void reset() noexcept { release(); }

    // QueryInterface; an empty pointer when the object does not answer.
    template <class U> com_ptr<U> try_as() const noexcept
    {
        com_ptr<U> result;
        if (p_) p_->QueryInterface(__uuidof(U), result.put_void());
        return result;
    }

    // QueryInterface; throws (com_error, see error.h) when the object does not answer.
    template <class U> com_ptr<U> as() const;

    friend bool operator==(const com_ptr& a, const com_ptr& b) noexcept { return a.p_ == b.p_; }

private:
    void add_ref() const noexcept
    {
        if (p_) p_->AddRef();
    }
    void release() noexcept
    {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }

    T* p_ = nullptr;
};

template <class T> template <class U> com_ptr<U> com_ptr<T>::as() const
{
    com_ptr<U> result;
    const HRESULT answered = p_ ? p_->QueryInterface(__uuidof(U), result.put_void()) : E_POINTER;
    if (FAILED(answered) || !result) throw_without_info(FAILED(answered) ? answered : E_NOINTERFACE);
    return result;
}

// The canonical IUnknown of an object: equal pointers mean the same object.
inline com_ptr<IUnknown> identity_of(IUnknown* object) noexcept
{
    com_ptr<IUnknown> result;
    if (object) object->QueryInterface(IID_IUnknown, result.put_void());
    return result;
}

} // namespace com
