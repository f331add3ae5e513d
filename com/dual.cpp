#include "dual.h"

#include "com_ptr.h"
#include "module.h"
#include "registry.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace com {

namespace {

struct iid_less {
    bool operator()(const IID& a, const IID& b) const noexcept { return memcmp(&a, &b, sizeof a) < 0; }
};

// The type libraries embedded in this module as TYPELIB resources, and the
// interfaces found in them so far.
class type_info_cache {
public:
    dispatch_info find(REFIID iid)
    {
        std::lock_guard guard(mutex_);
        if (!loaded_) load_libraries();
        auto known = interfaces_.find(iid);
        if (known != interfaces_.end()) return known->second;
        // Only what was found is kept: a library registered later is still
        // looked for on the next call.
        dispatch_info info = lookup(iid);
        if (info.vtable) interfaces_.emplace(iid, info);
        return info;
    }

    void release() noexcept
    {
        std::lock_guard guard(mutex_);
        for (auto& [iid, info] : interfaces_) {
            if (info.dispatch) info.dispatch->Release();
            if (info.vtable) info.vtable->Release();
        }
        interfaces_.clear();
        for (ITypeLib* library : libraries_)
            library->Release();
        libraries_.clear();
        loaded_ = false;
    }

private:
    static BOOL CALLBACK collect(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR context)
    {
        if (IS_INTRESOURCE(name))
            reinterpret_cast<std::vector<WORD>*>(context)->push_back(
                static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
        return TRUE;
    }

    void load_libraries()
    {
        loaded_ = true;
        HMODULE module = module::handle();
        std::vector<WORD> ids;
        ::EnumResourceNamesW(module, L"TYPELIB", collect, reinterpret_cast<LONG_PTR>(&ids));
        const std::wstring path = registry::module_path();
        if (path.empty()) return;
        for (WORD id : ids) {
            std::wstring resource = path;
            if (id != 1) resource += L"\\" + std::to_wstring(id);
            ITypeLib* library = nullptr;
            if (SUCCEEDED(::LoadTypeLibEx(resource.c_str(), REGKIND_NONE, &library))) libraries_.push_back(library);
        }
    }

    // A library registered for an interface that none of the embedded ones
    // describes, such as a host library that declares an internal interface.
    void load_registered_library(REFIID iid)
    {
        wchar_t iid_text[40] = {};
        ::StringFromGUID2(iid, iid_text, 40);
        const std::wstring key = std::wstring(L"Interface\\") + iid_text + L"\\TypeLib";
        wchar_t library_text[40] = {};
        wchar_t version_text[16] = {};
        DWORD size = sizeof library_text;
        if (::RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, library_text, &size) !=
            ERROR_SUCCESS)
            return;
        size = sizeof version_text;
        if (::RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), L"Version", RRF_RT_REG_SZ, nullptr, version_text, &size) !=
            ERROR_SUCCESS)
            return;
        GUID library_id;
        if (FAILED(::CLSIDFromString(library_text, &library_id))) return;
        unsigned major = 0, minor = 0;
        if (swscanf(version_text, L"%u.%u", &major, &minor) < 1) return;
        ITypeLib* library = nullptr;
        if (FAILED(::LoadRegTypeLib(library_id, static_cast<WORD>(major), static_cast<WORD>(minor), 0, &library)))
            return;
        if (holds(library_id))
            library->Release(); // already searched: the interface is not in it
        else
            libraries_.push_back(library);
    }

    bool holds(REFGUID library_id) const
    {
        for (ITypeLib* library : libraries_) {
            TLIBATTR* attributes = nullptr;
            if (FAILED(library->GetLibAttr(&attributes))) continue;
            const bool same = IsEqualGUID(attributes->guid, library_id);
            library->ReleaseTLibAttr(attributes);
            if (same) return true;
        }
        return false;
    }

    // The module's own interfaces are in its libraries; a host interface that
    // a class implements is reached through the coclass's reference into the
    // host's library; an internal one only through the registry.
    dispatch_info lookup(REFIID iid)
    {
        dispatch_info found = lookup_loaded(iid);
        if (!found.vtable) found = lookup_referenced(iid);
        if (found.vtable) return found;
        load_registered_library(iid);
        return lookup_loaded(iid);
    }

    dispatch_info lookup_loaded(REFIID iid)
    {
        for (ITypeLib* library : libraries_) {
            ITypeInfo* dispatch = nullptr;
            if (SUCCEEDED(library->GetTypeInfoOfGuid(iid, &dispatch))) return halves_of(dispatch);
        }
        return {};
    }

    dispatch_info lookup_referenced(REFIID iid)
    {
        for (ITypeLib* library : libraries_) {
            for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
                com_ptr<ITypeInfo> coclass;
                TYPEKIND kind = TKIND_MAX;
                if (FAILED(library->GetTypeInfoType(i, &kind)) || kind != TKIND_COCLASS ||
                    FAILED(library->GetTypeInfo(i, coclass.put())))
                    continue;
                for (UINT j = 0;; ++j) {
                    HREFTYPE reference = 0;
                    if (FAILED(coclass->GetRefTypeOfImplType(j, &reference))) break;
                    ITypeInfo* implemented = nullptr;
                    if (FAILED(coclass->GetRefTypeInfo(reference, &implemented))) continue;
                    if (is_interface(implemented, iid)) return halves_of(implemented);
                    implemented->Release();
                }
            }
        }
        return {};
    }

    static bool is_interface(ITypeInfo* info, REFIID iid)
    {
        TYPEATTR* attributes = nullptr;
        if (FAILED(info->GetTypeAttr(&attributes))) return false;
        const bool same = IsEqualGUID(attributes->guid, iid);
        info->ReleaseTypeAttr(attributes);
        return same;
    }

    // Takes over the reference to `dispatch`. A dual interface's type
    // information is its dispatch half; the vtable half is the one it refers to
    // as implemented type -1.
    static dispatch_info halves_of(ITypeInfo* dispatch)
    {
        ITypeInfo* vtable = nullptr;
        HREFTYPE vtable_ref = 0;
        if (SUCCEEDED(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtable_ref)))
            dispatch->GetRefTypeInfo(vtable_ref, &vtable);
        if (!vtable) {
            vtable = dispatch;
            vtable->AddRef();
        }
        return {dispatch, vtable};
    }

private:
    std::mutex mutex_;
    bool loaded_ = false;
    // Kept until the module is unloaded, like the interfaces found in them.
    std::vector<ITypeLib*> libraries_;
    std::map<IID, dispatch_info, iid_less> interfaces_;
};

type_info_cache& cache() noexcept
{
    // Never destroyed: releasing COM objects from a static destructor at process
    // exit is not safe. A module that is unloaded early releases the contents.
    static type_info_cache* instance = new type_info_cache();
    return *instance;
}

} // namespace

dispatch_info type_info_of(REFIID iid) noexcept
{
    try {
        return cache().find(iid);
    } catch (...) {
        return {};
    }
}

void release_type_information() noexcept { cache().release(); }

} // namespace com
