#!/bin/sh
# Builds, then runs the benchmark programs named (default: all of them) with
# the simulated host and the component registered in the build's Wine prefix.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh >/dev/null
benches=${*:-$(ls build/bench/*.exe)}
exec scripts/with-servers.sh sh -c 'for bench in "$@"; do wine "$bench" || exit 1; done' benches $benches
