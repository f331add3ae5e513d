#pragma once
// The rule records: plain values, stored and read back unchanged. The rule store
// keeps them in its tables and hands out the very objects it holds, so a change
// made through any reference is seen through every other. The table's key is
// the ID or path the rule was set for: writing ObjectID or Path changes what
// the record reads, not where the store finds it (nor which later rule counts
// as a duplicate).

#include <K1MrgRls.h>

#include "com/dual.h"
#include "com/implements.h"

#include <string>
#include <string_view>

namespace rules {

class CCategoryRule final : public com::implements<com::dual<IKSQCategoryRule>> {
public:
    static constexpr std::wstring_view class_label = L"CCategoryRule";

    HRESULT STDMETHODCALLTYPE get_CategoryType(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_CategoryType(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Action(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_Action(LONG value) noexcept override;

private:
    LONG category_type_ = 0;
    LONG action_ = 0;
};

class CObjectTypeRule final : public com::implements<com::dual<IKSQObjectTypeRule>> {
public:
    static constexpr std::wstring_view class_label = L"CObjectTypeRule";

    HRESULT STDMETHODCALLTYPE get_ObjectType(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_ObjectType(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Action(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_Action(LONG value) noexcept override;

private:
    LONG object_type_ = 0;
    LONG action_ = 0;
};

class CObjectRule final : public com::implements<com::dual<IKSQObjectRule>> {
public:
    static constexpr std::wstring_view class_label = L"CObjectRule";

    HRESULT STDMETHODCALLTYPE get_ObjectID(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_ObjectID(BSTR value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Action(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_Action(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Type(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_Type(LONG value) noexcept override;

private:
    std::wstring object_id_;
    LONG action_ = 0;
    LONG type_ = 0;
};

// Also created by the host through the class factory.
class CFolderRule final : public com::implements<com::dual<_CFolderRule>, com::dual<IKSQFolderRule>> {
public:
    static constexpr std::wstring_view class_label = L"CFolderRule";

    HRESULT STDMETHODCALLTYPE get_Path(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_Path(BSTR value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Action(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_Action(LONG value) noexcept override;

private:
    std::wstring path_;
    LONG action_ = 0;
};

} // namespace rules
