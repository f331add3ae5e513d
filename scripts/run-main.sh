#!/bin/sh
# The main job on a fresh Debian machine: installs what is missing, builds,
# registers the simulated host and the component in a private Wine prefix, and
# runs the sample client that shows the component at work.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec scripts/with-servers.sh wine build/examples/show_component.exe
