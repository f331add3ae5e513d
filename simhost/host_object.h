#pragma once
// A host object of the metadata repository: an item, or a folder (type 8), which
// also answers HostFolder. Collections hand it out as HostObject2; it answers
// HostObject with the same pointer, which is a HostObject too.
//
// host_object is what both kinds share; make_host_object makes the one that fits.

#include "simulated.h" // SIMHOST_RESERVED

#include <com/com_ptr.h>
#include <com/dual.h>

#include <K5TYPLIB.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace simhost {

inline constexpr long folder_type = 8;

// What a host object is. The name and the containing folder's path are parts of
// the full path, so that a million items do not keep each text twice.
struct item_description {
    std::wstring id;
    std::wstring full_path;
    std::size_t parent_length = 0; // the parent path is full_path's first parent_length characters
    std::size_t name_start = 0;    // the name is full_path from here on
    long type_code = 0;
    long subtype_code = 0;
};

// An item `name` in the folder `parent_path`: full path parent_path + "\" + name.
item_description describe_item(std::wstring id, std::wstring_view name, long type_code, long subtype_code,
                               std::wstring_view parent_path);

class host_object : public com::dual<HostObject2> {
public:
    const std::wstring& id() const noexcept { return item_.id; }
    const std::wstring& full_path() const noexcept { return item_.full_path; }
    std::wstring_view name() const noexcept { return std::wstring_view(item_.full_path).substr(item_.name_start); }
    std::wstring_view parent_path() const noexcept
    {
        return std::wstring_view(item_.full_path).substr(0, item_.parent_length);
    }
    long type_code() const noexcept { return item_.type_code; }

    // The IDs of the related objects, resolved when asked; guarded by the
    // repository's lock (see repository.h).
    std::vector<std::wstring>& related_ids() noexcept { return related_; }
    // The next object added with the same name; the repository's index of names
    // chains them through here, guarded by its lock.
    host_object*& next_of_name() noexcept { return next_of_name_; }

    HostObject2* as_host_object() noexcept { return this; }

    // HostObject
    HRESULT STDMETHODCALLTYPE get_RelatedObjects(IDispatch** objects) noexcept override;
    HRESULT STDMETHODCALLTYPE get_ID(BSTR* id) noexcept override;
    HRESULT STDMETHODCALLTYPE get_FullPath(BSTR* path) noexcept override;
    HRESULT STDMETHODCALLTYPE get_TypeCode(LONG* type_code) noexcept override;
    HRESULT STDMETHODCALLTYPE get_SubtypeCode(LONG* subtype_code) noexcept override;
    SIMHOST_RESERVED(Reserved05)
    SIMHOST_RESERVED(Reserved07)
    SIMHOST_RESERVED(Reserved08)
    SIMHOST_RESERVED(Reserved09)
    SIMHOST_RESERVED(Reserved10)
    SIMHOST_RESERVED(Reserved12)
    SIMHOST_RESERVED(Reserved13)
    SIMHOST_RESERVED(Reserved14)
    SIMHOST_RESERVED(Reserved15)
    SIMHOST_RESERVED(Reserved16)
    SIMHOST_RESERVED(Reserved18)
    SIMHOST_RESERVED(Reserved19)
    SIMHOST_RESERVED(Reserved20)
    SIMHOST_RESERVED(Reserved21)
    SIMHOST_RESERVED(Reserved22)
    SIMHOST_RESERVED(Reserved23)
    SIMHOST_RESERVED(Reserved25)
    SIMHOST_RESERVED(Reserved26)
    SIMHOST_RESERVED(Reserved27)
    SIMHOST_RESERVED(Reserved28)
    SIMHOST_RESERVED(Reserved29)
    SIMHOST_RESERVED(Reserved30)
    SIMHOST_RESERVED(Reserved31)
    SIMHOST_RESERVED(Reserved32)
    SIMHOST_RESERVED(Reserved33)
    SIMHOST_RESERVED(Reserved34)
    SIMHOST_RESERVED(Reserved35)
    // Reserved01 to Reserved04 are declared by the two kinds: HostFolder has
    // placeholders of the same names.

protected:
    // com::implements constructs its bases without arguments, so the kinds
    // describe the object in their constructors.
    host_object() = default;
    ~host_object() = default;
    void describe(item_description item) noexcept { item_ = std::move(item); }

    // find_alias for both kinds: HostObject is the same pointer as HostObject2.
    void* host_object_alias(REFIID iid) noexcept;

private:
    item_description item_;
    std::vector<std::wstring> related_;
    host_object* next_of_name_ = nullptr;
};

// A folder for type 8, an item for every other type.
com::com_ptr<host_object> make_host_object(item_description item);

} // namespace simhost
