// Creates the component's objects through COM, as the migration tool does, and
// prints what happens: merge options with their range check, log settings with
// their duplicate check, the action lookup of the rule store, folder rules turned
// into object rules, and the trace lines the component wrote meanwhile.
#include <K1MrgRls.h>
#include <KSimHost.h>

#include "com/bstr.h"
#include "com/com_ptr.h"

#include <cstdio>
#include <string>

namespace {

std::string narrow(std::wstring_view text)
{
    std::string result;
    for (wchar_t c : text)
        result += c < 128 ? static_cast<char>(c) : '?';
    return result;
}

void report(const char* what, HRESULT hr)
{
    if (SUCCEEDED(hr)) {
        std::printf("  %s: ok\n", what);
        return;
    }
    com::com_ptr<IErrorInfo> info;
    com::bstr source, description;
    if (::GetErrorInfo(0, info.put()) == S_OK && info) {
        info->GetSource(source.put());
        info->GetDescription(description.put());
    }
    std::printf("  %s: failed 0x%08lX (error %lu) from %s: %s\n", what, static_cast<unsigned long>(hr),
                static_cast<unsigned long>(hr) & 0xFFFF, narrow(source.view()).c_str(),
                narrow(description.view()).c_str());
}

template <class I> com::com_ptr<I> create(REFCLSID clsid, const char* name)
{
    com::com_ptr<I> object;
    const HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I), object.put_void());
    std::printf("create %s: %s\n", name, SUCCEEDED(hr) ? "ok" : "failed");
    return object;
}

void show_merge_options()
{
    auto options = create<IKSQMergeOptions5>(CLSID_CMergeOptions, "CMergeOptions");
    if (!options) return;
    LONG value = 0;
    options->get_CopyACLOption(&value);
    std::printf("  CopyACLOption starts at %ld\n", static_cast<long>(value));
    report("CopyACLOption = 2 through IKSQMergeOptions5", options->put_CopyACLOption(2));
    com::com_ptr<IKSQMergeOptions> first = options.try_as<IKSQMergeOptions>();
    first->get_CopyACLOption(&value);
    std::printf("  IKSQMergeOptions reads CopyACLOption %ld\n", static_cast<long>(value));
    report("CopyACLOption = 3", options->put_CopyACLOption(3));
    options->get_CopyACLOption(&value);
    std::printf("  CopyACLOption is still %ld\n", static_cast<long>(value));
}

void show_log_settings()
{
    auto settings = create<IKSQLogSettings>(CLSID_CLogSettings, "CLogSettings");
    if (!settings) return;
    for (const wchar_t* file : {L"merge.log", L"errors.log", L"merge.log", L""}) {
        auto setting = create<IKSQLogSetting>(CLSID_CLogSetting, "CLogSetting");
        setting->put_LogFile(com::bstr(file).get());
        setting->put_LogLevel(3);
        const std::string what = "add \"" + narrow(file) + "\"";
        report(what.c_str(), settings->Add(setting.get()));
    }
    com::com_ptr<IKSQLogSettingsIterator> iterator;
    settings->CreateIterator(iterator.put());
    std::printf("  the collection holds:");
    for (;;) {
        com::com_ptr<IKSQLogSetting> next;
        if (FAILED(iterator->Next(next.put())) || !next) break;
        com::bstr file;
        next->get_LogFile(file.put());
        std::printf(" %s", narrow(file.view()).c_str());
    }
    std::printf("\n");
}

void show_rules(ISimHostControl& host)
{
    auto rules = create<IKSQMergeRules2>(CLSID_CMergeRules, "CMergeRules");
    if (!rules) return;
    // The simulated host's metadata: type 120 is in category 1, type 450 in category 4.
    host.SetCategory(120, 1);
    host.SetCategory(450, 4);
    auto object = [&](const wchar_t* id, LONG type, LONG subtype) {
        com::com_ptr<HostObject> o;
        host.AddItem(com::bstr(id).get(), com::bstr(L"Demo").get(), type, subtype, com::bstr(L"").get(), o.put());
        return o;
    };
    report("object rule for report-7 (type 120): action 9", rules->SetObjectRule(com::bstr(L"report-7").get(), 120, 9));
    report("type rule for subtype 33: action 4", rules->SetTypeRule(33, 4));
    report("category rule for category 4: action 6", rules->SetCategoryRule(4, 6));
    report("a second category rule for category 4", rules->SetCategoryRule(4, 7));
    const struct {
        const wchar_t* id;
        LONG type, subtype;
        const char* why;
    } objects[] = {
        {L"report-7", 120, 0, "its object rule"},
        {L"report-8", 120, 33, "the type rule for its subtype"},
        {L"chart-1", 450, 0, "the rule for its category"},
        {L"report-9", 120, 0, "the default of category 1"},
        {L"query-2", 999, 0, "the default of other categories"},
    };
    for (const auto& o : objects) {
        LONG action = 0;
        const HRESULT hr = rules->FindAction(object(o.id, o.type, o.subtype).get(), &action);
        if (SUCCEEDED(hr))
            std::printf("  FindAction(%s): %ld, from %s\n", narrow(o.id).c_str(), static_cast<long>(action), o.why);
        else
            report("FindAction", hr);
    }
}

void show_folder_rules(ISimHostControl& host)
{
    auto rules = create<IKSQMergeRules2>(CLSID_CMergeRules, "CMergeRules for folder rules");
    if (!rules) return;
    // A small folder tree of the simulated host (type 8 is a folder).
    const struct {
        const wchar_t* id;
        const wchar_t* name;
        LONG type;
        const wchar_t* parent;
    } items[] = {
        {L"projects", L"Projects", 8, L""},
        {L"alpha", L"Alpha", 8, L"\\Projects"},
        {L"plan-1", L"Plan", 120, L"\\Projects\\Alpha"},
        {L"chart-2", L"Chart", 450, L"\\Projects\\Alpha"},
        {L"drafts", L"Drafts", 8, L"\\Projects\\Alpha"},
        {L"draft-3", L"Draft", 120, L"\\Projects\\Alpha\\Drafts"},
        {L"beta", L"Beta", 8, L"\\Projects"},
        {L"plan-4", L"Plan", 120, L"\\Projects\\Beta"},
    };
    for (const auto& item : items) {
        com::com_ptr<HostObject> added;
        host.AddItem(com::bstr(item.id).get(), com::bstr(item.name).get(), item.type, 0, com::bstr(item.parent).get(),
                     added.put());
    }
    report("object rule for chart-2 (type 450): action 9", rules->SetObjectRule(com::bstr(L"chart-2").get(), 450, 9));
    report("folder rule for \\Projects\\Alpha: action 4",
           rules->SetFolderRule(com::bstr(L"\\Projects\\Alpha").get(), 4));
    report("folder rule for \\projects\\beta: action 6", rules->SetFolderRule(com::bstr(L"\\projects\\beta").get(), 6));

    com::com_ptr<HostSession> session;
    host.CreateSession(VARIANT_FALSE, session.put());
    HostSession* passed = session.get();
    report("ProcessFolderRule", rules.try_as<_CMergeRules>()->ProcessFolderRule(&passed));

    const struct {
        const wchar_t* id;
        const char* why;
    } objects[] = {
        {L"alpha", "the folder of the rule"},
        {L"plan-1", "directly in \\Projects\\Alpha"},
        {L"chart-2", "its own object rule, set before"},
        {L"drafts", "a subfolder is itself content"},
        {L"draft-3", "not directly in the folder: the default"},
        {L"plan-4", "the path's letter case is not the host's: the default"},
    };
    for (const auto& o : objects) {
        com::com_ptr<HostObject> object;
        host.FindObject(com::bstr(o.id).get(), object.put());
        LONG action = 0;
        const HRESULT hr = rules->FindAction(object.get(), &action);
        if (SUCCEEDED(hr))
            std::printf("  FindAction(%s): %ld, %s\n", narrow(o.id).c_str(), static_cast<long>(action), o.why);
        else
            report("FindAction", hr);
    }
    report("object rule for plan-1 after processing", rules->SetObjectRule(com::bstr(L"plan-1").get(), 120, 2));
}

void show_trace(ISimHostControl& host)
{
    SAFEARRAY* lines = nullptr;
    if (FAILED(host.get_TraceLines(&lines)) || !lines) return;
    LONG upper = -1;
    ::SafeArrayGetUBound(lines, 1, &upper);
    std::printf("the component wrote %ld trace lines; the first ten:\n", static_cast<long>(upper + 1));
    for (LONG i = 0; i <= upper && i < 10; ++i) {
        BSTR line = nullptr;
        ::SafeArrayGetElement(lines, &i, &line);
        std::printf("  %s\n", narrow(com::bstr::attach(line).view()).c_str());
    }
    ::SafeArrayDestroy(lines);
}

} // namespace

int main()
{
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    {
        com::com_ptr<ISimHostControl> host;
        if (FAILED(::CoCreateInstance(CLSID_SimHostControl, nullptr, CLSCTX_INPROC_SERVER, IID_ISimHostControl,
                                      host.put_void()))) {
            std::printf("the simulated host is not registered\n");
            return 1;
        }
        host->Reset();
        show_merge_options();
        show_log_settings();
        show_rules(*host);
        host->ClearObjects();
        show_folder_rules(*host);
        host->ClearObjects();
        show_trace(*host);
    }
    ::CoUninitialize();
    return 0;
}
