// Late-bound use from JScript: creation by ProgID and the component's error
// numbers seen through the simulated host's utility, as full HRESULTs.
var failures = 0;
function check(condition, what) {
    if (!condition) {
        WScript.Echo("FAIL: " + what);
        failures++;
    }
}

try {
    var host = new ActiveXObject("KSimHost.Control");
    host.Reset();
    var options = new ActiveXObject("K1MrgRls.CMergeOptions");
    var settings = new ActiveXObject("K1MrgRls.CLogSettings");
    check(host.CallCount("TraceService.Activate") == 1, "the thread was activated once");

    var refused = false;
    try {
        new ActiveXObject("K1MrgRls.CLogSettingsIterator");
    } catch (e) {
        refused = true;
    }
    check(refused, "K1MrgRls.CLogSettingsIterator must not be creatable");

    var reached = false;
    try {
        options.CopyACLOption = 3;
    } catch (e) {
        reached = true;
        var code = e.number >>> 0;
        check(code == 0x800A01B6 || code == 0x80020006, "the default interface has no CopyACLOption, got " + code.toString(16));
    }
    check(reached, "setting a member of the empty default interface fails");
    options = null;
    settings = null;
    host.Reset();
} catch (e) {
    check(false, "unexpected error " + e.number + ": " + e.description);
}

if (failures == 0) {
    WScript.Echo("PASS late_bound.js");
    WScript.Quit(0);
}
WScript.Quit(1);
