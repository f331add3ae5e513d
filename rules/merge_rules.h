#pragma once
// CMergeRules: the rule store. It keeps object, object-type, category and
// folder rules in four tables and answers, for a host object in conflict, the
// action that applies. IKSQMergeRules does the work; each IKSQMergeRules2 member
// that version 1 also has traces and calls the version-1 member.

#include "rule_iterators.h"

#include <K1MrgRls.h>
#include <K1PriTyp.h>

#include "com/com_ptr.h"
#include "com/dual.h"
#include "com/implements.h"

#include <string_view>

namespace rules {

class CMergeRules;

class MergeRules1 : public com::dual<IKSQMergeRules> {
public:
    HRESULT STDMETHODCALLTYPE SetCategoryRule(LONG category, LONG action) noexcept override;
    HRESULT STDMETHODCALLTYPE SetTypeRule(LONG object_type, LONG action) noexcept override;
    HRESULT STDMETHODCALLTYPE SetObjectRule(BSTR object_id, LONG object_type, LONG action) noexcept override;
    HRESULT STDMETHODCALLTYPE FindAction(HostObject* object, LONG* action) noexcept override;
    HRESULT STDMETHODCALLTYPE CreateCategoryRuleIterator(IKSQCategoryRuleIterator** iterator) noexcept override;
    HRESULT STDMETHODCALLTYPE CreateObjectTypeRuleIterator(IKSQObjectTypeRuleIterator** iterator) noexcept override;
    HRESULT STDMETHODCALLTYPE CreateObjectRuleIterator(IKSQObjectRuleIterator** iterator) noexcept override;

private:
    CMergeRules& self() noexcept;
};

class MergeRules2 : public com::dual<IKSQMergeRules2> {
public:
    HRESULT STDMETHODCALLTYPE SetCategoryRule(LONG category, LONG action) noexcept override;
    HRESULT STDMETHODCALLTYPE SetTypeRule(LONG object_type, LONG action) noexcept override;
    HRESULT STDMETHODCALLTYPE SetObjectRule(BSTR object_id, LONG object_type, LONG action) noexcept override;
    HRESULT STDMETHODCALLTYPE FindAction(HostObject* object, LONG* action) noexcept override;
    HRESULT STDMETHODCALLTYPE CreateCategoryRuleIterator(IKSQCategoryRuleIterator** iterator) noexcept override;
    HRESULT STDMETHODCALLTYPE CreateObjectTypeRuleIterator(IKSQObjectTypeRuleIterator** iterator) noexcept override;
    HRESULT STDMETHODCALLTYPE CreateObjectRuleIterator(IKSQObjectRuleIterator** iterator) noexcept override;
    HRESULT STDMETHODCALLTYPE SetFolderRule(BSTR path, LONG action) noexcept override;
    HRESULT STDMETHODCALLTYPE CreateFolderRuleIterator(IKSQFolderRuleIterator** iterator) noexcept override;

private:
    CMergeRules& self() noexcept;
};

class CMergeRules final : public com::implements<com::dual<_CMergeRules>, MergeRules1, MergeRules2> {
public:
    static constexpr std::wstring_view class_label = L"CMergeRules";

    CMergeRules();

    HRESULT STDMETHODCALLTYPE ProcessFolderRule(HostSession** session) noexcept override;

protected:
    void* find_alias(REFIID iid) noexcept override;

private:
    friend MergeRules1;
    friend MergeRules2;

    void set_category_rule(LONG category, LONG action);
    void set_type_rule(LONG object_type, LONG action);
    void set_object_rule(std::wstring_view object_id, LONG object_type, LONG action);
    void set_folder_rule(std::wstring_view path, LONG action);
    LONG find_action(HostObject* object);

    // The default action of a category when no rule applies.
    LONG SetDefaults(LONG category);
    // Adds an object rule unless the ID has one; never fails for a duplicate.
    void SetObjectRuleWithoutError(std::wstring_view object_id, LONG object_type, LONG action);
    void add_object_rule(std::wstring_view object_id, LONG object_type, LONG action);

    // Folder rules into object rules (folder_expansion.cpp).
    void process_folder_rules(HostSession** session);
    void apply_folder_rule(HostObject& folder);
    // A level list whose one level holds the folders that the rules' paths name.
    com::com_ptr<IKSQLevelList> PopulateFolderList(HostSession& session, const folder_table& table);
    // An object rule for the folder and for each object directly in it; with
    // `recurse`, a subfolder's contents instead of the subfolder itself.
    void SetFolderContentRules(HostFolder& folder, LONG action, bool recurse);

    category_table categories_;
    type_table types_;
    object_table objects_;
    folder_table folders_;
};

} // namespace rules
