#pragma once
// The descriptions that type information hands out to be given back with its own
// call (TYPEATTR, FUNCDESC, TLIBATTR), held until the holder goes.

#include <oaidl.h>

namespace com {

template <class Owner, class Description, auto get, auto release> class held_description {
public:
    // Asks `owner` for the description; `index` selects a member where the call takes one.
    template <class... Index> explicit held_description(Owner* owner, Index... index) : owner_(owner)
    {
        result_ = (owner->*get)(index..., &description_);
    }
    ~held_description()
    {
        if (description_) (owner_->*release)(description_);
    }
    held_description(const held_description&) = delete;
    held_description& operator=(const held_description&) = delete;

    // What the owner answered; without success there is no description.
    HRESULT result() const noexcept { return result_; }
    const Description* operator->() const noexcept { return description_; }

private:
    Owner* owner_;
    Description* description_ = nullptr;
    HRESULT result_ = E_FAIL;
};

using type_attributes = held_description<ITypeInfo, TYPEATTR, &ITypeInfo::GetTypeAttr, &ITypeInfo::ReleaseTypeAttr>;
using function_description =
    held_description<ITypeInfo, FUNCDESC, &ITypeInfo::GetFuncDesc, &ITypeInfo::ReleaseFuncDesc>;
using library_attributes = held_description<ITypeLib, TLIBATTR, &ITypeLib::GetLibAttr, &ITypeLib::ReleaseTLibAttr>;

} // namespace com
