#pragma once
// What both level iterators hold: the list's live level table and a copy of its
// keys in level order.

#include "tables.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace ordering {

class level_snapshot {
public:
    void take(level_table levels);
    // Copies the table's keys again.
    void refresh();

    const common::keyed_table<common::object_key, com::com_ptr<IKSQObjectList>>& levels() const { return *levels_; }

    // The level under the snapshot key at `position`; out of range fails
    // (reported for `class_label`).
    com::com_ptr<IKSQObjectList> at(std::int32_t position, std::wstring_view class_label) const;

private:
    level_table levels_;
    std::vector<common::object_key> keys_;
};

} // namespace ordering
