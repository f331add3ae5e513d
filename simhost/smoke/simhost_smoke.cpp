// Smoke test of KSimHost.dll: registers it in the current Wine prefix, uses each
// kind of object once through COM as the component and the tests will, and
// unregisters it. Prints one line per failed check and a verdict.

#include "smoke_support.h"

#include <K1PriTyp.h>

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
            check_trace_file(*host);
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
    ::CoUninitialize();

    expect(call_export(dll, "DllUnregisterServer") == S_OK, "DllUnregisterServer succeeds");
    expect(!class_registered(CLSID_TraceService) && !class_registered(CLSID_SimHostControl),
           "unregistering removes the class keys");
    // The prefix is shared with the other tests: leave the DLL registered.
    expect(call_export(dll, "DllRegisterServer") == S_OK, "registering again succeeds");
    ::FreeLibrary(dll);

    const int failures = smoke::failed_checks();
    std::printf("%s: %d of %d checks failed\n", failures == 0 ? "PASS" : "FAIL", failures, smoke::checks_made());
    std::fflush(stdout);
    return failures == 0 ? 0 : 1;
}
