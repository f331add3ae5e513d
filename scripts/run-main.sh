#!/bin/sh
# The main job on a fresh Debian machine: installs what is missing, builds,
# registers the simulated host and the component in a private Wine prefix, and
# runs the merge planner on its built-in sample plan (examples/sample-plan.json).
# The exit status is the planner's: 1 for the sample, whose repeated log file is
# refused on purpose.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec scripts/with-servers.sh wine build/planner/K1MrgPlan.exe
