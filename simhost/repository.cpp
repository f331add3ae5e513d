#include "repository.h"

#include <com/error.h>
#include <com/implements.h>

#include <map>
#include <mutex>
#include <utility>

namespace simhost {

namespace {

using object_map = std::map<std::wstring, com::com_ptr<host_object>, std::less<>>;

std::mutex mutex;
object_map objects; // guarded by mutex
// Folder contents as (folder ID, item ID); nothing reads them yet.
std::vector<std::pair<std::wstring, std::wstring>> folder_contents; // guarded by mutex

com::com_ptr<host_object> find_locked(std::wstring_view id)
{
    const auto found = objects.find(id);
    return found != objects.end() ? found->second : nullptr;
}

[[noreturn]] void throw_missing(std::wstring_view id)
{
    com::throw_error(E_INVALIDARG, L"KSimHost", L"No host object has the ID '" + std::wstring(id) + L"'.");
}

} // namespace

com::com_ptr<host_object> add_object(std::wstring id, long type_code, long subtype_code, std::wstring full_path)
{
    std::lock_guard guard(mutex);
    if (com::com_ptr<host_object> existing = find_locked(id)) return existing;
    com::com_ptr<host_object> object = com::make<host_object>(id, type_code, subtype_code, std::move(full_path));
    objects.emplace(std::move(id), object);
    return object;
}

com::com_ptr<host_object> find_object(std::wstring_view id)
{
    com::com_ptr<host_object> object;
    {
        std::lock_guard guard(mutex);
        object = find_locked(id);
    }
    if (!object) throw_missing(id);
    return object;
}

void relate(std::wstring_view from_id, std::wstring_view to_id)
{
    com::com_ptr<host_object> from = find_object(from_id);
    find_object(to_id);
    from->add_related(std::wstring(to_id));
}

void place_in_folder(std::wstring_view folder_id, std::wstring_view item_id)
{
    find_object(folder_id);
    find_object(item_id);
    std::lock_guard guard(mutex);
    folder_contents.emplace_back(folder_id, item_id);
}

object_list resolve_objects(const std::vector<std::wstring>& ids)
{
    object_list found;
    std::lock_guard guard(mutex);
    for (const std::wstring& id : ids) {
        if (com::com_ptr<host_object> object = find_locked(id)) found.push_back(std::move(object));
    }
    return found;
}

void clear_objects() noexcept
{
    object_map released;
    {
        std::lock_guard guard(mutex);
        released.swap(objects);
        folder_contents.clear();
    }
    // The objects go when `released` does, outside the lock.
}

} // namespace simhost
