// The component from JScript: every creatable class by ProgID, error 429 for the
// others, the numbered errors as full HRESULTs with their description through
// references the host hands over, and ProcessFolderRule through _CMergeRules.
var failures = 0;
function check(condition, what) {
    if (!condition) {
        WScript.Echo("FAIL: " + what);
        failures++;
    }
}
function hex(number) {
    return "0x" + (number >>> 0).toString(16).toUpperCase();
}
// The error a call raises, or null.
function error_of(call) {
    try {
        call();
    } catch (e) {
        return e;
    }
    return null;
}
function numbered(number) {
    return (0x800A0000 | number) >> 0;
}

try {
    var host = new ActiveXObject("KSimHost.Control");
    host.Reset();
    host.ClearObjects();

    var creatable = ["CMergeRules", "CMergeOptions", "CLogSetting", "CLogSettings", "CFolderRule", "CFolderRuleIterator"];
    for (var i = 0; i < creatable.length; i++) {
        var made = error_of(function () { new ActiveXObject("K1MrgRls." + creatable[i]); });
        check(made == null, "create K1MrgRls." + creatable[i] + (made ? ": " + hex(made.number) : ""));
    }
    var refused = ["CLogSettingsIterator", "CCategoryRuleIterator", "CObjectRuleIterator", "CObjectTypeRuleIterator", "CObjectRule", "CObjectList"];
    for (var i = 0; i < refused.length; i++) {
        var e = error_of(function () { new ActiveXObject("K1MrgRls." + refused[i]); });
        check(e != null && (e.number & 0xFFFF) == 429, "K1MrgRls." + refused[i] + " gives error 429, got " + (e ? e.number & 0xFFFF : "none"));
    }

    var rules = new ActiveXObject("K1MrgRls.CMergeRules");
    var store = host.AsInterface(rules, "{65EE6B1B-6964-430A-B2B3-EA9A7E68D6C7}");
    var e = error_of(function () { rules.SetObjectRule("A", 101, 4); });
    check(e != null && (e.number & 0xFFFF) == 438, "the default interface has no SetObjectRule");

    store.SetObjectRule("A", 101, 4);
    e = error_of(function () { store.SetObjectRule("A", 102, 5); });
    check(e != null && e.number == numbered(63602), "a second object rule: 0x800AF872, got " + (e ? hex(e.number) : "none"));
    check(e != null && e.description == "An object rule already exists for object 'A'.", "its description, got " + (e ? e.description : ""));
    if (e != null && typeof e.source != "undefined") WScript.Echo("INFO: JScript error source " + e.source);

    var options = host.AsInterface(new ActiveXObject("K1MrgRls.CMergeOptions"), "{A610C3F9-A464-4B8D-8EB8-EFB40E3612C1}");
    e = error_of(function () { options.CopyACLOption = 3; });
    check(e != null && e.number == numbered(63604), "CopyACLOption 3: 0x800AF874, got " + (e ? hex(e.number) : "none"));
    check(e != null && e.description.indexOf("'3'") >= 0, "its description names the value");
    check(options.CopyACLOption == 1, "the rejected value is not stored");

    var settings = host.AsInterface(new ActiveXObject("K1MrgRls.CLogSettings"), "{AF787160-60F6-11D5-BEB2-00C04F4F041C}");
    var setting = host.AsInterface(new ActiveXObject("K1MrgRls.CLogSetting"), "{D02DB590-5F51-11D5-BEB1-00C04F4F041C}");
    e = error_of(function () { settings.Add(setting); });
    check(e != null && e.number == numbered(63610), "an empty log file: 0x800AF87A, got " + (e ? hex(e.number) : "none"));
    setting.LogFile = "a.log";
    settings.Add(setting);
    e = error_of(function () { settings.Add(setting); });
    check(e != null && e.number == numbered(63609), "the same log file again: 0x800AF879, got " + (e ? hex(e.number) : "none"));

    // ProcessFolderRule through the default interface: JScript passes the
    // session by value.
    store.SetFolderRule("\\Shared", 7);
    host.AddItem("F1", "Shared", 8, 0, "");
    host.AddItem("R1", "Report", 101, 0, "\\Shared");
    var session = host.CreateSession(false);
    e = error_of(function () { rules.ProcessFolderRule(session); });
    WScript.Echo("INFO: ProcessFolderRule(session) -> " + (e ? hex(e.number) + " " + e.description : "succeeded"));
    check(store.FindAction(host.FindObject("R1")) == 7, "the folder rule reached the report");

    rules = null;
    store = null;
    options = null;
    settings = null;
    setting = null;
    session = null;
    host.ClearObjects();
    host.Reset();
} catch (e) {
    check(false, "unexpected error " + hex(e.number) + ": " + e.description);
}

if (failures == 0) {
    WScript.Echo("PASS catalogue.js");
    WScript.Quit(0);
}
WScript.Quit(1);
