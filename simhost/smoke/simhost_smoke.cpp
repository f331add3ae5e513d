// Smoke test of KSimHost.dll: registers it in the current Wine prefix, uses each
// kind of object once through COM as the component and the tests will, and
// unregisters it. Prints one line per failed check and a verdict.

#include "smoke_support.h"

#include <simhost/in_process.h>

#include <K1PriTyp.h>
#include <K5TYPLIB.h>

#include <cstdio>
#include <string>

namespace {

using smoke::expect;

std::wstring dll_path()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"KSimHost.dll";
}

HRESULT call_export(HMODULE dll, const char* name)
{
    auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(reinterpret_cast<void*>(::GetProcAddress(dll, name)));
    return entry ? entry() : HRESULT_FROM_WIN32(::GetLastError());
}

bool class_registered(REFCLSID clsid)
{
    wchar_t text[40] = {};
    ::StringFromGUID2(clsid, text, 40);
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + text).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

bool library_registered(REFGUID libid)
{
    BSTR path = nullptr;
    if (FAILED(::QueryPathOfRegTypeLib(libid, 1, 0, 0, &path))) return false;
    ::SysFreeString(path);
    return true;
}

// A registration that fails half-way leaves nothing behind and reports why it
// failed. The last ProgID key is made volatile beforehand: the registry refuses
// the lasting subkey the registration then puts under it.
void check_failed_registration(HMODULE dll)
{
    HKEY blocker = nullptr;
    if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, L"KSimHost.Control", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                          nullptr, &blocker, nullptr) != ERROR_SUCCESS) {
        expect(false, "a volatile key can be made to stop the registration");
        return;
    }
    ::RegCloseKey(blocker);
    expect(call_export(dll, "DllRegisterServer") == HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE),
           "a failed registration reports the registry's own failure");
    expect(!class_registered(CLSID_TraceService) && !class_registered(CLSID_SimHostControl) &&
               !library_registered(LIBID_KSimHostLib) && !library_registered(LIBID_KSQCOMMasterLib),
           "and leaves no class and no type library behind");
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"KSimHost.Control");
}

// Answering S_OK, DllCanUnloadNow releases the type information cached from
// the DLL; host objects load it again should they be used after all.
void check_unloading(HMODULE dll)
{
    expect(call_export(dll, "DllCanUnloadNow") == S_OK, "DllCanUnloadNow once every object is gone");
    auto host = smoke::create<ISimHostControl>(CLSID_SimHostControl);
    expect(call_export(dll, "DllCanUnloadNow") == S_FALSE, "but not while an object lives");
    if (!host) return;
    com::com_ptr<HostObject> object;
    host->AddObject(com::bstr(L"U").get(), 1, 0, com::bstr(L"\\U").get(), object.put());
    if (!object) return;
    wchar_t name[] = L"FullPath";
    LPOLESTR names[] = {name};
    DISPID id = DISPID_UNKNOWN;
    com::bstr path;
    VARIANT result;
    ::VariantInit(&result);
    DISPPARAMS none{};
    expect(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id) == S_OK &&
               object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                              nullptr) == S_OK &&
               result.vt == VT_BSTR && com::bstr::view_of(result.bstrVal) == L"\\U",
           "late binding works again after the type information was released");
    ::VariantClear(&result);
    host->ClearObjects();
}

// The same classes served from this program's own code, with the DLL unregistered.
void check_in_process()
{
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        simhost::in_process_host served;
        auto host = smoke::create<ISimHostControl>(CLSID_SimHostControl);
        auto utility = smoke::create<IHostUtility>(CLSID_HostUtility);
        expect(host && utility, "in_process_host serves the classes without registration");
        if (host && utility) {
            host->Reset();
            long type = 150, category = 0;
            utility->CategoryOfType(&type, &category);
            expect(category == 1 && smoke::call_count(*host, L"HostUtility.CategoryOfType") == 1,
                   "its services and control object share the program's state");
        }
    }
    expect(!smoke::create<ISimHostControl>(CLSID_SimHostControl), "its end revokes them");
    ::CoUninitialize();
}

} // namespace

int main()
{
    HMODULE dll = ::LoadLibraryW(dll_path().c_str());
    expect(dll != nullptr, "KSimHost.dll loads");
    if (!dll) return 1;
    expect(call_export(dll, "DllRegisterServer") == S_OK, "DllRegisterServer succeeds");

    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        auto host = smoke::create<ISimHostControl>(CLSID_SimHostControl);
        expect(bool(host), "SimHostControl is created");
        if (host) {
            using namespace smoke;
            host->Reset();
            check_tracing(*host);
            host->Reset();
            check_trace_records(*host);
            host->Reset();
            check_counted_trace_line(*host);
            check_raise_error(*host);
            host->Reset();
            check_objects(*host);
            check_live_objects(*host);
            host->Reset();
            check_folder_tree(*host);
            host->Reset();
            check_searches(*host);
            host->Reset();
            check_error_modes(*host);
            host->Reset();
            check_live_objects(*host);
        }
    }
    check_unloading(dll);
    ::CoUninitialize();

    expect(call_export(dll, "DllUnregisterServer") == S_OK, "DllUnregisterServer succeeds");
    expect(!class_registered(CLSID_TraceService) && !class_registered(CLSID_SimHostControl),
           "unregistering removes the class keys");
    check_in_process();
    check_failed_registration(dll);
    // The prefix is shared with the other tests: leave the DLL registered.
    expect(call_export(dll, "DllRegisterServer") == S_OK, "registering again succeeds");
    ::FreeLibrary(dll);

    const int failures = smoke::failed_checks();
    std::printf("%s: %d of %d checks failed\n", failures == 0 ? "PASS" : "FAIL", failures, smoke::checks_made());
    std::fflush(stdout);
    return failures == 0 ? 0 : 1;
}
