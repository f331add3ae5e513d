#include "dual.h"

#include "com_ptr.h"
#include "module.h"

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
        // Unknown interfaces are looked for once (two threads may both look).
        library_list registered;
        dispatch_info info = lookup_in(embedded_libraries(), iid);
        if (!info.vtable) {
            if (com_ptr<ITypeLib> library = registered_library(iid)) {
                registered.push_back(library);
                info = lookup_in(registered, iid);
            }
        }
        std::lock_guard guard(mutex_);
        for (com_ptr<ITypeLib>& library : registered)
            libraries_.push_back(std::move(library));
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

    // The embedded libraries, loaded on first use; a copy of the list.
    library_list embedded_libraries()
    {
        {
            std::lock_guard guard(mutex_);
            if (loaded_) return libraries_;
        }
        library_list loaded = load_embedded_libraries();
        std::lock_guard guard(mutex_);
        if (!loaded_) {
            // Registered libraries found before a release may still be listed.
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
        wchar_t path[MAX_PATH];
        const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
        if (length == 0 || length == MAX_PATH) return libraries;
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
    // describes, such as a host library that declares an internal interface.
    static com_ptr<ITypeLib> registered_library(REFIID iid)
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
        com_ptr<ITypeLib> library;
        if (FAILED(::LoadRegTypeLib(library_id, static_cast<WORD>(major), static_cast<WORD>(minor), 0, library.put())))
            return {};
        return library;
    }

    static dispatch_info lookup_in(const library_list& libraries, REFIID iid)
    {
        for (const com_ptr<ITypeLib>& library : libraries) {
            dispatch_info found;
            if (FAILED(library->GetTypeInfoOfGuid(iid, found.dispatch.put()))) continue;
            // A dual interface's type information is its dispatch half; the
            // vtable half is the one it refers to as implemented type -1.
            HREFTYPE vtable_ref = 0;
            if (SUCCEEDED(found.dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtable_ref)))
                found.dispatch->GetRefTypeInfo(vtable_ref, found.vtable.put());
            if (!found.vtable) found.vtable = found.dispatch;
            return found;
        }
        return {};
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
