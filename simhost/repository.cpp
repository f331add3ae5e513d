#include "repository.h"

#include <com/error.h>

#include <algorithm>
#include <memory>
#include <memory_resource>
#include <new>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace simhost {

namespace {

// Every key is a view of a text of an object that `by_id` keeps alive, or of the
// folder path its entry holds.
using id_index = std::pmr::unordered_map<std::wstring_view, com::com_ptr<host_object>>;
// A folder path, shared by the items in it, and those items in the order added.
struct folder_contents {
    shared_path path;
    std::vector<host_object*> items;
};
using item_index = std::pmr::unordered_map<std::wstring_view, folder_contents>;
// Names are mostly unique: the objects of one name are chained through the
// objects themselves (host_object::next_of_name), in the order added, so that an
// item costs no list of its own.
struct name_chain {
    host_object* first;
    host_object* last;
};
using name_index = std::pmr::unordered_map<std::wstring_view, name_chain>;

struct repository_state {
    // The indexes' nodes, a few small blocks per item, come from a pool of their
    // own and go with it: the process heap is slow at millions of small blocks.
    // Declared first, so that it goes last.
    std::pmr::unsynchronized_pool_resource pool;
    id_index by_id{&pool};
    item_index by_parent_path{&pool}; // folder contents
    name_index by_name{&pool};
    std::vector<com::com_ptr<host_session>> sessions;
};

std::mutex mutex;
// guarded by mutex; replaced whole by clear_objects, pool and all
std::unique_ptr<repository_state> state = std::make_unique<repository_state>();

host_object* find_locked(std::wstring_view id)
{
    const auto found = state->by_id.find(id);
    return found != state->by_id.end() ? found->second.get() : nullptr;
}

[[noreturn]] void throw_missing(std::wstring_view id)
{
    com::throw_with_new_info(E_INVALIDARG, L"KSimHost", L"No host object has the ID '" + std::wstring(id) + L"'.");
}

std::wstring duplicate_text(std::wstring_view id)
{
    return L"A host object with the ID '" + std::wstring(id) + L"' is already present.";
}

// The folder with that path, made empty when it is new.
folder_contents& folder_locked(std::wstring_view path)
{
    if (const auto found = state->by_parent_path.find(path); found != state->by_parent_path.end()) return found->second;
    folder_contents contents{std::make_shared<const std::wstring>(path), {}};
    const std::wstring_view key = *contents.path;
    return state->by_parent_path.emplace(key, std::move(contents)).first->second;
}

host_object& insert_locked(const new_item& item)
{
    folder_contents& folder = folder_locked(item.parent_path);
    com::com_ptr<host_object> object =
        make_host_object({item.id, item.name, folder.path, item.type_code, item.subtype_code});
    host_object& added = *object;
    state->by_id.emplace(added.id(), std::move(object));
    folder.items.push_back(&added);
    const auto [named, first] = state->by_name.try_emplace(added.name(), name_chain{&added, &added});
    if (!first) named->second.last = named->second.last->next_of_name() = &added;
    return added;
}

object_list referenced(const std::vector<host_object*>& objects)
{
    object_list list;
    list.reserve(objects.size());
    for (host_object* object : objects)
        list.emplace_back(object);
    return list;
}

} // namespace

com::com_ptr<host_object> add_item(const new_item& item)
{
    std::lock_guard guard(mutex);
    if (find_locked(item.id)) com::throw_with_new_info(E_INVALIDARG, L"KSimHost", duplicate_text(item.id));
    return com::com_ptr<host_object>(&insert_locked(item));
}

added_items add_items(std::size_t count, const std::function<new_item(std::size_t)>& row)
{
    std::lock_guard guard(mutex);
    // Growing at least twofold keeps many small batches from rehashing each time.
    if (count > state->by_id.size()) state->by_id.reserve(state->by_id.size() + count);
    if (count > state->by_name.size()) state->by_name.reserve(state->by_name.size() + count);
    for (std::size_t index = 0; index < count; ++index) {
        const new_item item = row(index);
        if (find_locked(item.id)) return {index, L"Row " + std::to_wstring(index) + L": " + duplicate_text(item.id)};
        insert_locked(item);
    }
    return {count, std::nullopt};
}

com::com_ptr<host_object> find_object(std::wstring_view id)
{
    com::com_ptr<host_object> object;
    {
        std::lock_guard guard(mutex);
        object = com::com_ptr<host_object>(find_locked(id));
    }
    if (!object) throw_missing(id);
    return object;
}

void relate(std::wstring_view from_id, std::wstring_view to_id)
{
    std::lock_guard guard(mutex);
    host_object* from = find_locked(from_id);
    if (!from) throw_missing(from_id);
    if (!find_locked(to_id)) throw_missing(to_id);
    from->related_ids().emplace_back(to_id);
}

object_list related_objects(host_object& object)
{
    object_list found;
    std::lock_guard guard(mutex);
    for (const std::wstring& id : object.related_ids()) {
        if (host_object* related = find_locked(id)) found.emplace_back(related);
    }
    return found;
}

object_list contents_of(std::wstring_view folder_path)
{
    std::lock_guard guard(mutex);
    const auto found = state->by_parent_path.find(folder_path);
    return found != state->by_parent_path.end() ? referenced(found->second.items) : object_list{};
}

object_list find_by_name(std::wstring_view name, const std::vector<long>& types)
{
    object_list found;
    if (types.empty()) return found;
    std::lock_guard guard(mutex);
    const auto named = state->by_name.find(name);
    if (named == state->by_name.end()) return found;
    for (host_object* object = named->second.first; object; object = object->next_of_name()) {
        if (std::find(types.begin(), types.end(), object->type_code()) != types.end()) found.emplace_back(object);
    }
    return found;
}

void keep_session(com::com_ptr<host_session> session)
{
    std::lock_guard guard(mutex);
    state->sessions.push_back(std::move(session));
}

void clear_objects() noexcept
{
    std::unique_ptr<repository_state> released;
    try {
        released = std::make_unique<repository_state>();
    } catch (const std::bad_alloc&) {
        // No room for an empty repository: this one is emptied in place.
        std::lock_guard guard(mutex);
        state->by_name.clear();
        state->by_parent_path.clear();
        state->by_id.clear();
        state->sessions.clear();
        return;
    }
    {
        std::lock_guard guard(mutex);
        std::swap(released, state);
    }
    // The objects go when `released` does, outside the lock; the indexes that
    // view their texts go first.
    released->by_name.clear();
    released->by_parent_path.clear();
}

} // namespace simhost
