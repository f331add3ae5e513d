#pragma once
// A table key that stands for an object's identity: its canonical IUnknown. The
// key holds a reference, so the object lives as long as its entry.

#include "com/com_ptr.h"

#include <functional>

namespace common {

class object_key {
public:
    explicit object_key(IUnknown* object) : identity_(com::identity_of(object)) {}

    IUnknown* get() const noexcept { return identity_.get(); }
    friend bool operator==(const object_key& a, const object_key& b) noexcept { return a.get() == b.get(); }

private:
    com::com_ptr<IUnknown> identity_;
};

} // namespace common

template <> struct std::hash<common::object_key> {
    std::size_t operator()(const common::object_key& key) const noexcept { return std::hash<const void*>{}(key.get()); }
};
