#include "rule_records.h"

#include "diagnostics/traced_property.h"

namespace rules {

using diagnostics::get_traced;
using diagnostics::put_traced;

// ---- CCategoryRule ----

HRESULT CCategoryRule::get_CategoryType(LONG* value) noexcept
{
    return get_traced(class_label, L"IKSQCategoryRule_CategoryType", category_type_, value);
}
HRESULT CCategoryRule::put_CategoryType(LONG value) noexcept
{
    return put_traced(class_label, L"IKSQCategoryRule_CategoryType", category_type_, value);
}
HRESULT CCategoryRule::get_Action(LONG* value) noexcept
{
    return get_traced(class_label, L"IKSQCategoryRule_Action", action_, value);
}
HRESULT CCategoryRule::put_Action(LONG value) noexcept
{
    return put_traced(class_label, L"IKSQCategoryRule_Action", action_, value);
}

// ---- CObjectTypeRule ----

HRESULT CObjectTypeRule::get_ObjectType(LONG* value) noexcept
{
    return get_traced(class_label, L"IKSQObjectTypeRule_ObjectType", object_type_, value);
}
HRESULT CObjectTypeRule::put_ObjectType(LONG value) noexcept
{
    return put_traced(class_label, L"IKSQObjectTypeRule_ObjectType", object_type_, value);
}
HRESULT CObjectTypeRule::get_Action(LONG* value) noexcept
{
    return get_traced(class_label, L"IKSQObjectTypeRule_Action", action_, value);
}
HRESULT CObjectTypeRule::put_Action(LONG value) noexcept
{
    return put_traced(class_label, L"IKSQObjectTypeRule_Action", action_, value);
}

// ---- CObjectRule ----

HRESULT CObjectRule::get_ObjectID(BSTR* value) noexcept
{
    return get_traced(class_label, L"IKSQObjectRule_ObjectID", object_id_, value);
}
HRESULT CObjectRule::put_ObjectID(BSTR value) noexcept
{
    return put_traced(class_label, L"IKSQObjectRule_ObjectID", object_id_, value);
}
HRESULT CObjectRule::get_Action(LONG* value) noexcept
{
    return get_traced(class_label, L"IKSQObjectRule_Action", action_, value);
}
HRESULT CObjectRule::put_Action(LONG value) noexcept
{
    return put_traced(class_label, L"IKSQObjectRule_Action", action_, value);
}
HRESULT CObjectRule::get_Type(LONG* value) noexcept
{
    return get_traced(class_label, L"IKSQObjectRule_Type", type_, value);
}
HRESULT CObjectRule::put_Type(LONG value) noexcept
{
    return put_traced(class_label, L"IKSQObjectRule_Type", type_, value);
}

// ---- CFolderRule ----

HRESULT CFolderRule::get_Path(BSTR* value) noexcept
{
    return get_traced(class_label, L"IKSQFolderRule_Path", path_, value);
}
HRESULT CFolderRule::put_Path(BSTR value) noexcept
{
    return put_traced(class_label, L"IKSQFolderRule_Path", path_, value);
}
HRESULT CFolderRule::get_Action(LONG* value) noexcept
{
    return get_traced(class_label, L"IKSQFolderRule_Action", action_, value);
}
HRESULT CFolderRule::put_Action(LONG value) noexcept
{
    return put_traced(class_label, L"IKSQFolderRule_Action", action_, value);
}

} // namespace rules
