#include "merge_rules.h"

#include "rule_records.h"

#include "common/iterator_factory.h"
#include "diagnostics/errors.h"
#include "diagnostics/setup.h"
#include "diagnostics/thread_services.h"
#include "diagnostics/member.h"
#include "diagnostics/trace.h"

#include "host/host_object_calls.h"

#include "com/bstr.h"
#include "com/error.h"

#include <optional>
#include <type_traits>

namespace rules {

namespace {

using diagnostics::traced;

constexpr LONG DefaultActionListedCategories = 5;
constexpr LONG DefaultActionOtherCategories = 1;

// A 32-bit property of a record, read through the record's interface.
template <class Record> LONG read(const com::com_ptr<Record>& record, HRESULT (STDMETHODCALLTYPE Record::*get)(LONG*))
{
    LONG value = 0;
    com::check((record.get()->*get)(&value), record.get());
    return value;
}

// The type codes of a host object, each read from the host when a step first needs it.
class type_codes {
public:
    explicit type_codes(HostObject& object) noexcept : object_(object) {}

    LONG type() { return read_once(type_, &HostObject::get_TypeCode); }
    LONG subtype() { return read_once(subtype_, &HostObject::get_SubtypeCode); }

private:
    LONG read_once(std::optional<LONG>& code, HRESULT (STDMETHODCALLTYPE HostObject::*get)(LONG*))
    {
        if (!code) {
            LONG value = 0;
            host::check_host_call((object_.*get)(&value), object_);
            code = value;
        }
        return *code;
    }

    HostObject& object_;
    std::optional<LONG> type_;
    std::optional<LONG> subtype_;
};

template <class Iterator, class Table> auto make_iterator(const Table& table)
{
    return common::make_iterator<typename Iterator::iterator_interface, Iterator>(table);
}

// A version-2 member that traces and calls the version-1 member for its result.
template <class Out, class Call> HRESULT forwarded(std::wstring_view label, Out* out, Call call) noexcept
{
    return diagnostics::traced_member(CMergeRules::class_label, label, out, [&] {
        Out result{};
        com::check(call(&result));
        if constexpr (std::is_pointer_v<Out>)
            return com::com_ptr<std::remove_pointer_t<Out>>::attach(result);
        else
            return result;
    });
}

} // namespace

// ---- Construction and the default interface ----

CMergeRules::CMergeRules()
{
    diagnostics::ensure_thread_setup();
    traced(class_label, L"Class_Initialize", [&] {
        categories_ = std::make_shared<category_table::element_type>();
        types_ = std::make_shared<type_table::element_type>();
        objects_ = std::make_shared<object_table::element_type>();
        folders_ = std::make_shared<folder_table::element_type>();
    });
}

void* CMergeRules::find_alias(REFIID iid) noexcept
{
    // The earlier default interface had no members of its own.
    return iid == IID_CMergeRules___v0 ? static_cast<_CMergeRules*>(this) : nullptr;
}

HRESULT CMergeRules::ProcessFolderRule(HostSession** session) noexcept
{
    return diagnostics::traced_member(class_label, L"ProcessFolderRule", [&] { process_folder_rules(session); });
}

// ---- The work, done by the version-1 members ----

void CMergeRules::set_category_rule(LONG category, LONG action)
{
    if (categories_->exists(category)) {
        IHostUtility& utility = diagnostics::host_utility();
        LONG code = category;
        com::bstr text;
        com::check(utility.DescribeCategory(&code, text.put()), &utility);
        diagnostics::raise_error(diagnostics::ErrCategoryRuleExists, class_label, {text.view()});
        return;
    }
    auto rule = com::make<CCategoryRule>();
    com::check(rule->put_Action(action));
    com::check(rule->put_CategoryType(category));
    categories_->add(category, com::as_interface<IKSQCategoryRule>(rule));
}

void CMergeRules::set_type_rule(LONG object_type, LONG action)
{
    if (types_->exists(object_type)) {
        ITypeNameService& type_names = diagnostics::type_name_service();
        LONG code = object_type;
        com::bstr text;
        com::check(type_names.DescribeObjectType(&code, text.put()), &type_names);
        diagnostics::raise_error(diagnostics::ErrTypeRuleExists, class_label, {text.view()});
        return;
    }
    auto rule = com::make<CObjectTypeRule>();
    com::check(rule->put_Action(action));
    com::check(rule->put_ObjectType(object_type));
    types_->add(object_type, com::as_interface<IKSQObjectTypeRule>(rule));
}

void CMergeRules::set_object_rule(std::wstring_view object_id, LONG object_type, LONG action)
{
    if (objects_->exists(object_id)) {
        diagnostics::raise_error(diagnostics::ErrObjectRuleExists, class_label, {object_id});
        return;
    }
    add_object_rule(object_id, object_type, action);
}

void CMergeRules::SetObjectRuleWithoutError(std::wstring_view object_id, LONG object_type, LONG action)
{
    traced(class_label, L"SetObjectRuleWithoutError", [&] {
        if (!objects_->exists(object_id)) add_object_rule(object_id, object_type, action);
    });
}

void CMergeRules::add_object_rule(std::wstring_view object_id, LONG object_type, LONG action)
{
    auto rule = com::make<CObjectRule>();
    com::check(rule->put_Action(action));
    com::check(rule->put_Type(object_type));
    com::check(rule->put_ObjectID(com::bstr(object_id).get()));
    objects_->add(std::wstring(object_id), com::as_interface<IKSQObjectRule>(rule));
}

void CMergeRules::set_folder_rule(std::wstring_view path, LONG action)
{
    if (folders_->exists(path)) {
        diagnostics::raise_error(diagnostics::ErrFolderRuleExists, class_label, {path});
        return;
    }
    auto rule = com::make<CFolderRule>();
    com::check(rule->put_Action(action));
    com::check(rule->put_Path(com::bstr(path).get()));
    folders_->add(std::wstring(path), com::as_interface<IKSQFolderRule>(rule));
}

LONG CMergeRules::find_action(HostObject* object)
{
    if (!object) com::throw_with_new_info(E_POINTER, class_label, L"No host object was given.");
    com::bstr id;
    host::check_host_call(object->get_ID(id.put()), *object);
    type_codes codes(*object);

    // An object rule applies when its type is the object's type or subtype.
    if (const auto* rule = objects_->find(id.view())) {
        const LONG rule_type = read(*rule, &IKSQObjectRule::get_Type);
        if (rule_type == codes.type() || rule_type == codes.subtype()) return read(*rule, &IKSQObjectRule::get_Action);
    }
    if (const auto* rule = types_->find(std::int32_t{codes.subtype()}))
        return read(*rule, &IKSQObjectTypeRule::get_Action);
    if (const auto* rule = types_->find(std::int32_t{codes.type()}))
        return read(*rule, &IKSQObjectTypeRule::get_Action);

    IHostUtility& utility = diagnostics::host_utility();
    LONG type = codes.type();
    LONG category = 0;
    com::check(utility.CategoryOfType(&type, &category), &utility);
    if (const auto* rule = categories_->find(std::int32_t{category})) return read(*rule, &IKSQCategoryRule::get_Action);
    return SetDefaults(category);
}

LONG CMergeRules::SetDefaults(LONG category)
{
    return traced(class_label, L"SetDefaults", [&] {
        return category >= 1 && category <= 3 ? DefaultActionListedCategories : DefaultActionOtherCategories;
    });
}

// ---- IKSQMergeRules ----

CMergeRules& MergeRules1::self() noexcept { return static_cast<CMergeRules&>(*this); }

HRESULT MergeRules1::SetCategoryRule(LONG category, LONG action) noexcept
{
    return diagnostics::traced_member(CMergeRules::class_label, L"IKSQMergeRules_SetCategoryRule",
                                      [&] { self().set_category_rule(category, action); });
}

HRESULT MergeRules1::SetTypeRule(LONG object_type, LONG action) noexcept
{
    return diagnostics::traced_member(CMergeRules::class_label, L"IKSQMergeRules_SetTypeRule",
                                      [&] { self().set_type_rule(object_type, action); });
}

HRESULT MergeRules1::SetObjectRule(BSTR object_id, LONG object_type, LONG action) noexcept
{
    return diagnostics::traced_member(CMergeRules::class_label, L"IKSQMergeRules_SetObjectRule", [&] {
        self().set_object_rule(com::bstr::view_of(object_id), object_type, action);
    });
}

HRESULT MergeRules1::FindAction(HostObject* object, LONG* action) noexcept
{
    return diagnostics::traced_member(CMergeRules::class_label, L"IKSQMergeRules_FindAction", action,
                                      [&] { return self().find_action(object); });
}

HRESULT MergeRules1::CreateCategoryRuleIterator(IKSQCategoryRuleIterator** iterator) noexcept
{
    return diagnostics::traced_member(CMergeRules::class_label, L"IKSQMergeRules_CreateCategoryRuleIterator", iterator,
                                      [&] { return make_iterator<CCategoryRuleIterator>(self().categories_); });
}

HRESULT MergeRules1::CreateObjectTypeRuleIterator(IKSQObjectTypeRuleIterator** iterator) noexcept
{
    return diagnostics::traced_member(CMergeRules::class_label, L"IKSQMergeRules_CreateObjectTypeRuleIterator",
                                      iterator, [&] { return make_iterator<CObjectTypeRuleIterator>(self().types_); });
}

HRESULT MergeRules1::CreateObjectRuleIterator(IKSQObjectRuleIterator** iterator) noexcept
{
    return diagnostics::traced_member(CMergeRules::class_label, L"IKSQMergeRules_CreateObjectRuleIterator", iterator,
                                      [&] { return make_iterator<CObjectRuleIterator>(self().objects_); });
}

// ---- IKSQMergeRules2: wrappers on version 1, and the folder-rule members ----

CMergeRules& MergeRules2::self() noexcept { return static_cast<CMergeRules&>(*this); }

namespace {

IKSQMergeRules& version1(CMergeRules& rules) noexcept { return static_cast<IKSQMergeRules&>(rules); }

HRESULT traced_call(std::wstring_view label, auto call) noexcept
{
    return diagnostics::traced_member(CMergeRules::class_label, label, [&] { com::check(call()); });
}

} // namespace

HRESULT MergeRules2::SetCategoryRule(LONG category, LONG action) noexcept
{
    return traced_call(L"IKSQMergeRules2_SetCategoryRule",
                       [&] { return version1(self()).SetCategoryRule(category, action); });
}

HRESULT MergeRules2::SetTypeRule(LONG object_type, LONG action) noexcept
{
    return traced_call(L"IKSQMergeRules2_SetTypeRule",
                       [&] { return version1(self()).SetTypeRule(object_type, action); });
}

HRESULT MergeRules2::SetObjectRule(BSTR object_id, LONG object_type, LONG action) noexcept
{
    return traced_call(L"IKSQMergeRules2_SetObjectRule",
                       [&] { return version1(self()).SetObjectRule(object_id, object_type, action); });
}

HRESULT MergeRules2::FindAction(HostObject* object, LONG* action) noexcept
{
    return forwarded(L"IKSQMergeRules2_FindAction", action,
                     [&](LONG* result) { return version1(self()).FindAction(object, result); });
}

HRESULT MergeRules2::CreateCategoryRuleIterator(IKSQCategoryRuleIterator** iterator) noexcept
{
    return forwarded(L"IKSQMergeRules2_CreateCategoryRuleIterator", iterator,
                     [&](IKSQCategoryRuleIterator** out) { return version1(self()).CreateCategoryRuleIterator(out); });
}

HRESULT MergeRules2::CreateObjectTypeRuleIterator(IKSQObjectTypeRuleIterator** iterator) noexcept
{
    return forwarded(L"IKSQMergeRules2_CreateObjectTypeRuleIterator", iterator, [&](IKSQObjectTypeRuleIterator** out) {
        return version1(self()).CreateObjectTypeRuleIterator(out);
    });
}

HRESULT MergeRules2::CreateObjectRuleIterator(IKSQObjectRuleIterator** iterator) noexcept
{
    return forwarded(L"IKSQMergeRules2_CreateObjectRuleIterator", iterator,
                     [&](IKSQObjectRuleIterator** out) { return version1(self()).CreateObjectRuleIterator(out); });
}

HRESULT MergeRules2::SetFolderRule(BSTR path, LONG action) noexcept
{
    return diagnostics::traced_member(CMergeRules::class_label, L"IKSQMergeRules2_SetFolderRule",
                                      [&] { self().set_folder_rule(com::bstr::view_of(path), action); });
}

HRESULT MergeRules2::CreateFolderRuleIterator(IKSQFolderRuleIterator** iterator) noexcept
{
    return diagnostics::traced_member(CMergeRules::class_label, L"IKSQMergeRules2_CreateFolderRuleIterator", iterator,
                                      [&] { return make_iterator<CFolderRuleIterator>(self().folders_); });
}

} // namespace rules
