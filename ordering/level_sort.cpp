#include "level_sort.h"

#include "host/collection_members.h"
#include "host/host_object_calls.h"
#include "iterator_walk.h"
#include "message_pump.h"
#include "object_list.h"

#include "com/error.h"
#include "com/variant.h"

namespace ordering {

namespace {

constexpr std::wstring_view class_label = sort_class_label;

} // namespace

level_sort::level_sort(com::com_ptr<IKSQLevelList> levels, repetition_check check)
    : levels_(std::move(levels)), check_(check)
{}

sort_end level_sort::run()
{
    com::com_ptr<IKSQLevelIterator> walker;
    com::check(levels_->CreateLevelIterator(walker.put()), levels_.get());
    // The walk reaches the levels appended on the way.
    std::optional<sort_end> stop;
    for (std::size_t index = 0; !stop && has_next(*walker); ++index)
        stop = walk(*next_of<IKSQObjectList>(*walker, class_label), index);
    com::check(levels_->RemoveAllIterators(), levels_.get());
    return stop.value_or(sort_end::finished);
}

std::optional<sort_end> level_sort::walk(IKSQObjectList& level, std::size_t index)
{
    const std::size_t depth = bound_.depth_of(&level);
    com::com_ptr<IKSQObjectIterator> objects;
    com::check(level.CreateObjectIterator(objects.put()), &level);
    const com::com_ptr<IKSQObjectList> new_level = com::as_interface<IKSQObjectList>(com::make<CObjectList>());

    bool visited_any = false;
    while (has_next(*objects)) {
        visited_any = true;
        const com::com_ptr<HostObject> visited = next_of<HostObject>(*objects, class_label);
        bound_.see(visited.get());
        yield_to_message_pump();
        host::collection_members related(*host::related_objects_of(*visited), class_label);
        while (const com::com_ptr<HostObject> object = related.next_host_object()) {
            bound_.see(object.get());
            move_related(*visited, *object, *new_level);
        }
    }

    // An empty new level is dropped; a filled one becomes the last level.
    std::optional<sort_end> stop;
    LONG moved = 0;
    com::check(new_level->get_Count(&moved), new_level.get());
    if (moved > 0) {
        com::check(levels_->Add(new_level.get()), levels_.get());
        bound_.appended(new_level.get(), depth + 1);
        if (bound_.exceeded(depth + 1)) stop = sort_end::bounded;
    }
    // The walk of an empty level changes nothing and is no step of the search.
    if (!stop && visited_any && check_ == repetition_check::on && watch_.repeats(*levels_, index, movers_))
        stop = sort_end::repeated;
    com::check(level.RemoveAllIterators(), &level);
    return stop;
}

void level_sort::move_related(HostObject& visited, HostObject& related, IKSQObjectList& new_level)
{
    // The scan covers the levels that exist now; the new level is not yet one.
    com::com_ptr<IKSQLevelIterator> scan;
    com::check(levels_->CreateReverseLevelIterator(scan.put()), levels_.get());
    // The lists find an object by the object itself.
    com::variant key;
    key.put()->vt = VT_DISPATCH;
    key.get()->pdispVal = &related;
    related.AddRef();
    while (has_next(*scan)) {
        const com::com_ptr<IKSQObjectList> level = next_of<IKSQObjectList>(*scan, class_label);
        VARIANT_BOOL holds = VARIANT_FALSE;
        com::check(level->Exists(key.get(), &holds), level.get());
        if (!holds) continue;
        // An object is not moved again by the object that moved it last: this
        // ends the back-and-forth of an object related to itself and of a
        // simple cycle.
        if (!record_mover(visited, related)) return;
        com::check(level->Remove(key.get()), level.get());
        com::check(new_level.Add(&related), &new_level);
    }
    yield_to_message_pump();
}

bool level_sort::record_mover(HostObject& visited, HostObject& related)
{
    common::object_key key(&related);
    auto recorded = movers_.find(key);
    if (recorded == movers_.end()) {
        movers_.emplace(std::move(key), com::com_ptr<HostObject>(&visited));
        return true;
    }
    if (host::id_of(visited) == host::id_of(*recorded->second)) return false;
    recorded->second = com::com_ptr<HostObject>(&visited);
    return true;
}

} // namespace ordering
