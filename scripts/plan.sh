#!/bin/sh
# Runs the merge planner on a plan file, or on its built-in sample without one:
#   scripts/plan.sh [--json] [--csv FILE] [--strict] [--trace FILE|-] [--progress] [--timings] [PLAN]
#   scripts/plan.sh --compare BEFORE AFTER [--json]
# Builds first (quietly; the build's output goes to stderr only when it fails),
# registers the simulated host and the component in the build's Wine prefix
# unless they are registered there already from this build tree, and passes the
# planner's output and exit status through unchanged.
root=$(cd "$(dirname "$0")/.." && pwd)
log=$(mktemp)
if ! { "$root/scripts/install-deps.sh" && "$root/scripts/build.sh"; } >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "plan.sh: the build failed" >&2
    exit 2
fi
rm -f "$log"

prefix="$root/build/wineprefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all
fixture="$root/tests/scripts/wine-prefix.sh"
"$fixture" create "$prefix" || exit 2

# Registered means: the class's InprocServer32 names this build's DLL.
registered() { # clsid dll
    wine reg query "HKLM\\Software\\Classes\\CLSID\\$1\\InprocServer32" /ve 2>/dev/null | tr -d '\r' |
        grep -qiF "$(winepath -w "$2")"
}
for server in "{5B1E3C22-7A4F-4C9B-9E2D-3F60A1B2C4D1} $root/build/simhost/KSimHost.dll" \
              "{99E70217-5C2C-11D5-BEB1-00C04F4F041C} $root/build/server/K1MrgRls.dll"; do
    clsid=${server%% *}
    dll=${server#* }
    registered "$clsid" "$dll" || "$fixture" register "$prefix" "$dll" || exit 2
done
exec wine "$root/build/planner/K1MrgPlan.exe" "$@"
