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
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <string>
#include <string_view>
#include <vector>

namespace simhost {

inline constexpr long folder_type = 8;

// A folder path that the items of the folder share: the repository keeps one
// text per folder, and each item holds it, so that a million items keep neither
// their parents' paths nor their full paths.
using shared_path = std::shared_ptr<const std::wstring>;

// What a host object is. Its texts are copied into the object's own block.
struct item_description {
    std::wstring_view id;
    std::wstring_view name;
    shared_path parent_path; // never null
    long type_code = 0;
    long subtype_code = 0;
};

class host_object : public com::dual<HostObject2> {
public:
    std::wstring_view id() const noexcept { return {texts_, id_length_}; }
    std::wstring_view name() const noexcept { return {texts_ + id_length_, name_length_}; }
    std::wstring_view parent_path() const noexcept { return *parent_path_; }
    // Made when asked: parent path + "\" + name.
    std::wstring full_path() const;
    long type_code() const noexcept { return type_code_; }

    // The IDs of the related objects, resolved when asked; guarded by the
    // repository's lock (see repository.h). Most objects have none.
    std::vector<std::wstring>& related_ids();
    // The next object added with the same name; the repository's index of names
    // chains them through here, guarded by its lock.
    host_object*& next_of_name() noexcept { return next_of_name_; }

    HostObject2* as_host_object() noexcept { return this; }

    // The block make_with_texts took, object and texts together.
    static void operator delete(void* block) noexcept { ::operator delete(block); }

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
    // `texts` has room for the ID and the name, and lives as long as the object
    // (it follows the object in the object's own block: see make_host_object).
    void describe(const item_description& item, wchar_t* texts) noexcept;

    // find_alias for both kinds: HostObject is the same pointer as HostObject2.
    void* host_object_alias(REFIID iid) noexcept;

private:
    const wchar_t* texts_ = nullptr; // the ID, then the name
    std::uint32_t id_length_ = 0;
    std::uint32_t name_length_ = 0;
    long type_code_ = 0;
    long subtype_code_ = 0;
    shared_path parent_path_;
    std::unique_ptr<std::vector<std::wstring>> related_;
    host_object* next_of_name_ = nullptr;
};

// A folder for type 8, an item for every other type.
com::com_ptr<host_object> make_host_object(const item_description& item);

// Makes T, a kind of host_object constructed from (item, texts), in one heap
// block: the object followed by its texts. A million items are a million blocks,
// not three million.
template <class T> com::com_ptr<host_object> make_with_texts(const item_description& item)
{
    static_assert(sizeof(T) % alignof(wchar_t) == 0);
    void* block = ::operator new(sizeof(T) + (item.id.size() + item.name.size()) * sizeof(wchar_t));
    auto* texts = static_cast<wchar_t*>(static_cast<void*>(static_cast<char*>(block) + sizeof(T)));
    static_assert(std::is_nothrow_constructible_v<T, const item_description&, wchar_t*>);
    return com::com_ptr<host_object>::attach(new (block) T(item, texts));
}

} // namespace simhost
