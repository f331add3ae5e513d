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

using library_list = std::vector<com_ptr<ITypeLib>>;

// The type libraries embedded in this module as TYPELIB resources, and the
// interfaces found in them so far.
//
// Loading reads the module's resources and files, which takes the loader lock.
// DllCanUnloadNow, which releases the cache, may itself run under that lock:
// Wine ends the apartment of a thread that exits without CoUninitialize from
// the thread's detach notification and asks every DLL loaded there. So the
// cache's lock is never held while loading or releasing; it only guards the
// lists, and callers get references of their own.
class type_info_cache {
public:
    dispatch_info find(REFIID iid)
    {
        {
            std::lock_guard guard(mutex_);
            auto known = interfaces_.find(iid);
            if (known != interfaces_.end()) return known->second;
        }
        const library_list libraries = embedded_libraries();
        dispatch_info info = lookup_loaded(libraries, iid);
        if (!info.vtable) info = lookup_referenced(libraries, iid);
        com_ptr<ITypeLib> registered;
        if (!info.vtable) {
            registered = registered_library(iid, libraries);
            if (registered) info = lookup_loaded({registered}, iid);
        }
        std::lock_guard guard(mutex_);
        if (registered) libraries_.push_back(registered);
        // Only what was found is kept: a library registered later is still
        // looked for on the next call.
        if (!info.vtable) return info;
        return interfaces_.try_emplace(iid, std::move(info)).first->second;
    }

    void release() noexcept
    {
        // Released after the lock is left, when these go.
        library_list libraries;
        std::map<IID, dispatch_info, iid_less> interfaces;
        std::lock_guard guard(mutex_);
        libraries.swap(libraries_);
        interfaces.swap(interfaces_);
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

    // The libraries kept so far, the embedded ones loaded on first use; a copy.
    library_list embedded_libraries()
    {
        {
            std::lock_guard guard(mutex_);
            if (loaded_) return libraries_;
        }
        const library_list loaded = load_embedded_libraries();
        std::lock_guard guard(mutex_);
        if (!loaded_) {
            // Registered libraries found since a release may be listed already.
            libraries_.insert(libraries_.begin(), loaded.begin(), loaded.end());
            loaded_ = true;
        }
        return libraries_;
    }

    static library_list load_embedded_libraries()
    {
        library_list libraries;
        HMODULE module = module::handle();
        std::vector<WORD> ids;
        ::EnumResourceNamesW(module, L"TYPELIB", collect, reinterpret_cast<LONG_PTR>(&ids));
        const std::wstring path = registry::module_path();
        if (path.empty()) return libraries;
        for (WORD id : ids) {
            std::wstring resource = path;
            if (id != 1) resource += L"\\" + std::to_wstring(id);
            com_ptr<ITypeLib> library;
            if (SUCCEEDED(::LoadTypeLibEx(resource.c_str(), REGKIND_NONE, library.put())))
                libraries.push_back(std::move(library));
        }
        return libraries;
    }

    // A library registered for an interface that none of the embedded ones
    // describes, such as a host library that declares an internal interface;
    // null when there is none or it is one of `searched`.
    static com_ptr<ITypeLib> registered_library(REFIID iid, const library_list& searched)
    {
        wchar_t iid_text[40] = {};
        ::StringFromGUID2(iid, iid_text, 40);
        const std::wstring key = std::wstring(L"Interface\\") + iid_text + L"\\TypeLib";
        wchar_t library_text[40] = {};
        wchar_t version_text[16] = {};
        DWORD size = sizeof library_text;
        if (::RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, library_text, &size) !=
            ERROR_SUCCESS)
            return {};
        size = sizeof version_text;
        if (::RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), L"Version", RRF_RT_REG_SZ, nullptr, version_text, &size) !=
            ERROR_SUCCESS)
            return {};
        GUID library_id;
        if (FAILED(::CLSIDFromString(library_text, &library_id))) return {};
        unsigned major = 0, minor = 0;
        if (swscanf(version_text, L"%u.%u", &major, &minor) < 1) return {};
        if (holds(searched, library_id)) return {}; // already searched: the interface is not in it
        com_ptr<ITypeLib> library;
        if (FAILED(::LoadRegTypeLib(library_id, static_cast<WORD>(major), static_cast<WORD>(minor), 0, library.put())))
            return {};
        return library;
    }

    static bool holds(const library_list& libraries, REFGUID library_id)
    {
        for (const com_ptr<ITypeLib>& library : libraries) {
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
    // host's library (lookup_referenced); an internal one only through the
    // registry.
    static dispatch_info lookup_loaded(const library_list& libraries, REFIID iid)
    {
        for (const com_ptr<ITypeLib>& library : libraries) {
            com_ptr<ITypeInfo> dispatch;
            if (SUCCEEDED(library->GetTypeInfoOfGuid(iid, dispatch.put()))) return halves_of(std::move(dispatch));
        }
        return {};
    }

    static dispatch_info lookup_referenced(const library_list& libraries, REFIID iid)
    {
        for (const com_ptr<ITypeLib>& library : libraries) {
            for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
                com_ptr<ITypeInfo> coclass;
                TYPEKIND kind = TKIND_MAX;
                if (FAILED(library->GetTypeInfoType(i, &kind)) || kind != TKIND_COCLASS ||
                    FAILED(library->GetTypeInfo(i, coclass.put())))
                    continue;
                for (UINT j = 0;; ++j) {
                    HREFTYPE reference = 0;
                    if (FAILED(coclass->GetRefTypeOfImplType(j, &reference))) break;
                    com_ptr<ITypeInfo> implemented;
                    if (FAILED(coclass->GetRefTypeInfo(reference, implemented.put()))) continue;
                    if (is_interface(implemented.get(), iid)) return halves_of(std::move(implemented));
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

    // A dual interface's type information is its dispatch half; the vtable
    // half is the one it refers to as implemented type -1.
    static dispatch_info halves_of(com_ptr<ITypeInfo> dispatch)
    {
        dispatch_info found;
        found.dispatch = std::move(dispatch);
        HREFTYPE vtable_ref = 0;
        if (SUCCEEDED(found.dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtable_ref)))
            found.dispatch->GetRefTypeInfo(vtable_ref, found.vtable.put());
        if (!found.vtable) found.vtable = found.dispatch;
        return found;
    }

    std::mutex mutex_;
    bool loaded_ = false;                               // guarded by mutex_
    library_list libraries_;                            // guarded by mutex_: kept until released
    std::map<IID, dispatch_info, iid_less> interfaces_; // guarded by mutex_
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
