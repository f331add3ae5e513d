// A host's first client of the component, built from the installed layout only:
// the generated header, the identifier sources and the registered DLL.
#include <K1MrgRls.h>

#include <cstdio>
#include <cwchar>

namespace {

int failures = 0;

void check(bool condition, const char* what)
{
    if (!condition) {
        std::printf("FAIL: %s\n", what);
        ++failures;
    }
}

void check_rules()
{
    IKSQMergeRules2* rules = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_CMergeRules, nullptr, CLSCTX_INPROC_SERVER, IID_IKSQMergeRules2,
                                  reinterpret_cast<void**>(&rules));
    check(SUCCEEDED(hr) && rules, "CoCreateInstance(CLSID_CMergeRules, IID_IKSQMergeRules2)");
    if (!rules) return;

    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"K1MrgRls.dll"), path, MAX_PATH);
    std::wprintf(L"served by %ls\n", path);
    // The DLL that serves it is the installed one of this program's bitness.
    const wchar_t* installed = sizeof(void*) == 8 ? L"\\bin\\x64\\K1MrgRls.dll" : L"\\bin\\x86\\K1MrgRls.dll";
    check(std::wcsstr(path, installed) != nullptr, "the installed DLL of this bitness");

    check(rules->SetCategoryRule(1, 2) == S_OK, "SetCategoryRule");
    // A duplicate is a numbered error with its error information.
    hr = rules->SetCategoryRule(1, 3);
    check(hr == static_cast<HRESULT>(0x800AF870), "a second category rule fails with 63600");
    IErrorInfo* error = nullptr;
    check(GetErrorInfo(0, &error) == S_OK && error, "error information");
    if (error) {
        BSTR source = nullptr;
        error->GetSource(&source);
        check(source && std::wcscmp(source, L"CMergeRules") == 0, "its source is CMergeRules");
        SysFreeString(source);
        error->Release();
    }

    IKSQCategoryRuleIterator* iterator = nullptr;
    check(rules->CreateCategoryRuleIterator(&iterator) == S_OK && iterator, "CreateCategoryRuleIterator");
    if (iterator) {
        IKSQCategoryRule* rule = nullptr;
        long action = 0;
        check(iterator->Next(&rule) == S_OK && rule && rule->get_Action(&action) == S_OK && action == 2,
              "the first rule keeps action 2");
        if (rule) rule->Release();
        iterator->Release();
    }

    // The default interface, as scripts see the object.
    _CMergeRules* script_view = nullptr;
    check(rules->QueryInterface(IID__CMergeRules, reinterpret_cast<void**>(&script_view)) == S_OK,
          "the default interface _CMergeRules");
    if (script_view) script_view->Release();
    rules->Release();
}

void check_options()
{
    IKSQMergeOptions5* options = nullptr;
    CoCreateInstance(CLSID_CMergeOptions, nullptr, CLSCTX_INPROC_SERVER, IID_IKSQMergeOptions5,
                     reinterpret_cast<void**>(&options));
    check(options != nullptr, "CoCreateInstance(CLSID_CMergeOptions, IID_IKSQMergeOptions5)");
    if (!options) return;
    long value = 0;
    check(options->put_CopyACLOption(2) == S_OK && options->get_CopyACLOption(&value) == S_OK && value == 2,
          "CopyACLOption");
    options->Release();
}

} // namespace

int main()
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    check_rules();
    check_options();
    CoUninitialize();
    if (failures == 0) std::printf("PASS installed client\n");
    std::fflush(stdout);
    return failures == 0 ? 0 : 1;
}
