// Smoke test of KSimHost.dll: registers it in the current Wine prefix, uses each
// kind of object once through COM as the component and the tests will, and
// unregisters it. Prints one line per failed check and a verdict.

#include <K1PriTyp.h>
#include <K5TYPLIB.h>
#include <KSimHost.h>

#include <com/bstr.h>
#include <com/com_ptr.h>
#include <com/safearray.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

int failures = 0;

void expect(bool condition, const char* what)
{
    if (condition) return;
    ++failures;
    std::printf("FAIL: %s\n", what);
    std::fflush(stdout);
}

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

std::vector<std::wstring> texts(SAFEARRAY* array)
{
    std::vector<std::wstring> result;
    LONG lower = 0, upper = -1;
    ::SafeArrayGetLBound(array, 1, &lower);
    ::SafeArrayGetUBound(array, 1, &upper);
    for (LONG i = lower; i <= upper; ++i) {
        com::bstr text;
        ::SafeArrayGetElement(array, &i, text.put());
        result.push_back(text.str());
    }
    ::SafeArrayDestroy(array);
    return result;
}

std::vector<std::wstring> trace_lines(ISimHostControl& host)
{
    SAFEARRAY* lines = nullptr;
    host.get_TraceLines(&lines);
    return texts(lines);
}

std::vector<std::wstring> calls(ISimHostControl& host)
{
    SAFEARRAY* recorded = nullptr;
    host.get_Calls(&recorded);
    return texts(recorded);
}

struct error_text {
    std::wstring source, description;
};

error_text current_error()
{
    error_text result;
    com::com_ptr<IErrorInfo> info;
    if (::GetErrorInfo(0, info.put()) != S_OK) return result;
    com::bstr source, description;
    info->GetSource(source.put());
    info->GetDescription(description.put());
    return {source.str(), description.str()};
}

template <class I> com::com_ptr<I> create(REFCLSID clsid)
{
    com::com_ptr<I> object;
    ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I), object.put_void());
    return object;
}

HRESULT trace(ITraceService& service, long level, const wchar_t* format, com::variant_array arguments)
{
    com::bstr text(format);
    BSTR format_text = text.get();
    return service.Trace(level, &format_text, arguments.ref());
}

void check_tracing(ISimHostControl& host)
{
    auto service = create<ITraceService>(CLSID_TraceService);
    expect(bool(service), "TraceService is created by its CLSID");
    if (!service) return;
    expect(trace(*service, 32, L"[%1][%2] Function Enter", com::variant_array{L"CClass", L"Member"}) == S_OK,
           "Trace succeeds");
    expect(trace_lines(host) == std::vector<std::wstring>{L"32|[%1][%2] Function Enter|CClass|Member"},
           "Trace records level|format|arguments");
    expect(calls(host) == std::vector<std::wstring>{L"TraceService.Create()"}, "creation is logged, Trace is not");
    long count = 0;
    host.InstanceCount(com::bstr(L"TraceService").get(), static_cast<long>(::GetCurrentThreadId()), &count);
    expect(count == 1, "the instance counts for this thread");
    DWORD other_thread = 0;
    std::thread([&] { other_thread = ::GetCurrentThreadId(); }).join();
    host.InstanceCount(com::bstr(L"TraceService").get(), static_cast<long>(other_thread), &count);
    expect(count == 0, "and not for another thread");

    expect(service->Trace(1, nullptr, nullptr) == E_POINTER, "Trace rejects missing arguments");

    const HRESULT injected = static_cast<HRESULT>(0x80041234);
    host.InjectFailure(com::bstr(L"TraceService.Trace").get(), 2, injected, com::bstr(L"injected").get());
    expect(trace(*service, 1, L"a", com::variant_array{}) == S_OK, "the call before the injected one works");
    expect(trace(*service, 1, L"b", com::variant_array{}) == injected, "the injected call fails");
    const error_text error = current_error();
    expect(error.source == L"KSimHost" && error.description == L"injected", "with the injected error info");
    expect(trace(*service, 1, L"c", com::variant_array{}) == S_OK, "an injection fires once");
    host.CallCount(com::bstr(L"TraceService.Trace").get(), &count);
    expect(count == 5, "CallCount counts failed calls too");
}

std::string file_bytes(const std::wstring& path)
{
    std::string bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[256];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read != 0)
        bytes.append(buffer, read);
    ::CloseHandle(file);
    return bytes;
}

void check_trace_file(ISimHostControl& host)
{
    auto service = create<ITraceService>(CLSID_TraceService);
    if (!service) return;
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"simhost_smoke_trace.txt";
    ::DeleteFileW(path.c_str());
    expect(host.put_TraceFile(com::bstr(path).get()) == S_OK, "TraceFile accepts a new file");
    trace(*service, 2, L"caf\u00E9", com::variant_array{L"x"});
    host.put_TraceMode(1);
    trace(*service, 3, L"discarded", com::variant_array{});
    expect(file_bytes(path) == "2|caf\xC3\xA9|x\n", "the trace file gets kept lines in UTF-8");
    host.Reset();
    ::DeleteFileW(path.c_str());
}

void check_raise_error(ISimHostControl& host)
{
    auto utility = create<IHostUtility>(CLSID_HostUtility);
    expect(bool(utility), "HostUtility is created by its CLSID");
    if (!utility) return;
    host.ClearCalls();
    long code = 63609;
    com::bstr source(L"CLogSettings");
    BSTR source_text = source.get();
    com::variant_array inserts{L"x.log"};
    expect(utility->RaiseError(&code, &source_text, inserts.ref()) == static_cast<HRESULT>(0x800AF879),
           "RaiseError fails with 0x800A0000 | code");
    const error_text error = current_error();
    expect(error.source == L"CLogSettings", "RaiseError's error source is the given source");
    expect(error.description == L"A log setting already exists for log file 'x.log'.",
           "RaiseError's description is the message with its inserts");
    expect(calls(host) == std::vector<std::wstring>{L"HostUtility.RaiseError(63609,CLogSettings,[x.log])"},
           "RaiseError is logged with its arguments");

    long type = 250, category = -1;
    utility->CategoryOfType(&type, &category);
    expect(category == 2, "default category of type 250 is 2");
    host.SetCategory(250, 7);
    utility->CategoryOfType(&type, &category);
    expect(category == 7, "a category set by the test wins");
}

long id_dispid(IDispatch& object)
{
    wchar_t name[] = L"ID";
    LPOLESTR names[] = {name};
    DISPID id = DISPID_UNKNOWN;
    object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

void check_objects(ISimHostControl& host)
{
    com::com_ptr<HostObject> a, b, c, found;
    host.AddObject(com::bstr(L"A").get(), 5, 1, com::bstr(L"\\A").get(), a.put());
    host.AddObject(com::bstr(L"B").get(), 6, 2, com::bstr(L"\\B").get(), b.put());
    host.AddObject(com::bstr(L"C").get(), 7, 3, com::bstr(L"\\C").get(), c.put());
    expect(a && b && c, "AddObject returns objects");
    if (!a || !b || !c) return;
    host.FindObject(com::bstr(L"A").get(), found.put());
    expect(found == a, "FindObject returns the same COM object");
    expect(a.try_as<HostObject2>().get() == static_cast<HostObject2*>(a.get()),
           "HostObject and HostObject2 are the same pointer");
    host.Relate(com::bstr(L"A").get(), com::bstr(L"B").get());
    host.Relate(com::bstr(L"A").get(), com::bstr(L"C").get());
    host.Relate(com::bstr(L"A").get(), com::bstr(L"B").get());

    // Late-bound, as scripts read host objects: served from the embedded type libraries.
    com::variant id;
    DISPPARAMS none{};
    const HRESULT invoked = a->Invoke(id_dispid(*a), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                      id.put(), nullptr, nullptr);
    expect(invoked == S_OK && id.get()->vt == VT_BSTR && com::bstr::view_of(id.get()->bstrVal) == L"A",
           "HostObject.ID through IDispatch");

    com::com_ptr<IDispatch> related;
    expect(a->get_RelatedObjects(related.put()) == S_OK && related, "RelatedObjects gives a collection");
    if (!related) return;
    com::variant enumerator;
    expect(related->Invoke(DISPID_NEWENUM, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, enumerator.put(),
                           nullptr, nullptr) == S_OK &&
               enumerator.get()->vt == VT_UNKNOWN,
           "DISPID_NEWENUM gives an enumerator");
    com::com_ptr<IEnumVARIANT> items;
    if (enumerator.get()->vt == VT_UNKNOWN)
        enumerator.get()->punkVal->QueryInterface(IID_IEnumVARIANT, items.put_void());
    expect(bool(items), "the enumerator is an IEnumVARIANT");
    if (!items) return;
    VARIANT delivered[4];
    ULONG fetched = 0;
    expect(items->Next(4, delivered, &fetched) == S_FALSE && fetched == 3, "three related objects");
    const HostObject* expected[] = {b.get(), c.get(), b.get()};
    for (ULONG i = 0; i < fetched; ++i) {
        expect(delivered[i].vt == VT_DISPATCH && delivered[i].pdispVal == expected[i],
               "related objects in order, as the same COM objects");
        ::VariantClear(&delivered[i]);
    }

    // A late-bound caller sees an injected failure as an exception, as from a dual interface.
    const HRESULT injected = static_cast<HRESULT>(0x80045678);
    host.InjectFailure(com::bstr(L"Collection._NewEnum").get(), 1, injected, com::bstr(L"no enum").get());
    EXCEPINFO exception{};
    expect(related->Invoke(DISPID_NEWENUM, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, enumerator.put(),
                           &exception, nullptr) == DISP_E_EXCEPTION &&
               exception.scode == injected && com::bstr::view_of(exception.bstrDescription) == L"no enum",
           "an injected _NewEnum failure");
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);

    host.InjectFailure(com::bstr(L"HostObject.TypeCode").get(), 1, injected, com::bstr(L"no type").get());
    long type = 0;
    expect(b->get_TypeCode(&type) == injected && current_error().description == L"no type",
           "an injected HostObject.TypeCode failure");
    expect(b->get_TypeCode(&type) == S_OK && type == 6, "TypeCode afterwards");
}

void check_live_objects(ISimHostControl& host)
{
    long live = -1;
    host.ClearObjects();
    host.get_LiveObjects(&live);
    expect(live == 0, "no live objects once every object is released and the repository cleared");
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
        auto host = create<ISimHostControl>(CLSID_SimHostControl);
        expect(bool(host), "SimHostControl is created");
        if (host) {
            host->Reset();
            check_tracing(*host);
            host->Reset();
            check_trace_file(*host);
            check_raise_error(*host);
            host->Reset();
            check_objects(*host);
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

    std::printf("%s: %d failed checks\n", failures == 0 ? "PASS" : "FAIL", failures);
    std::fflush(stdout);
    return failures == 0 ? 0 : 1;
}
