#pragma once
// The four rule iterators: forward walks over one table of the rule store.

#include <K1MrgRls.h>

#include "common/snapshot_iterator.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace rules {

struct category_rule_iteration {
    using default_interface = _CCategoryRuleIterator;
    using iterator_interface = IKSQCategoryRuleIterator;
    using record_interface = IKSQCategoryRule;
    using key = std::int32_t;
    static constexpr std::wstring_view class_label = L"CCategoryRuleIterator";
    static constexpr std::wstring_view has_next_label = L"IKSQCategoryRuleIterator_HasNext";
    static constexpr std::wstring_view next_label = L"IKSQCategoryRuleIterator_Next";
};

struct object_type_rule_iteration {
    using default_interface = _CObjectTypeRuleIterator;
    using iterator_interface = IKSQObjectTypeRuleIterator;
    using record_interface = IKSQObjectTypeRule;
    using key = std::int32_t;
    static constexpr std::wstring_view class_label = L"CObjectTypeRuleIterator";
    static constexpr std::wstring_view has_next_label = L"IKSQObjectTypeRuleIterator_HasNext";
    static constexpr std::wstring_view next_label = L"IKSQObjectTypeRuleIterator_Next";
};

struct object_rule_iteration {
    using default_interface = _CObjectRuleIterator;
    using iterator_interface = IKSQObjectRuleIterator;
    using record_interface = IKSQObjectRule;
    using key = std::wstring;
    static constexpr std::wstring_view class_label = L"CObjectRuleIterator";
    static constexpr std::wstring_view has_next_label = L"IKSQObjectRuleIterator_HasNext";
    static constexpr std::wstring_view next_label = L"IKSQObjectRuleIterator_Next";
};

struct folder_rule_iteration {
    using default_interface = _CFolderRuleIterator;
    using iterator_interface = IKSQFolderRuleIterator;
    using record_interface = IKSQFolderRule;
    using key = std::wstring;
    static constexpr std::wstring_view class_label = L"CFolderRuleIterator";
    static constexpr std::wstring_view has_next_label = L"IKSQFolderRuleIterator_HasNext";
    static constexpr std::wstring_view next_label = L"IKSQFolderRuleIterator_Next";
};

using CCategoryRuleIterator = common::snapshot_iterator<category_rule_iteration>;
using CObjectTypeRuleIterator = common::snapshot_iterator<object_type_rule_iteration>;
using CObjectRuleIterator = common::snapshot_iterator<object_rule_iteration>;
// Also created by the host through the class factory; one that no store
// initialised walks an empty table.
using CFolderRuleIterator = common::snapshot_iterator<folder_rule_iteration>;

using category_table = CCategoryRuleIterator::table;
using type_table = CObjectTypeRuleIterator::table;
using object_table = CObjectRuleIterator::table;
using folder_table = CFolderRuleIterator::table;

} // namespace rules
