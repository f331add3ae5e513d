#!/bin/sh
# Installs the pinned playwright-core (package.json, package-lock.json beside
# this script) into FOLDER/node_modules, unless that install is of the same lock.
#   install-playwright.sh FOLDER
here=$(cd "$(dirname "$0")" && pwd)
folder=$1
mkdir -p "$folder" || exit 1
if cmp -s "$here/package-lock.json" "$folder/package-lock.json" && [ -f "$folder/node_modules/playwright-core/package.json" ]; then
    exit 0
fi
cp "$here/package.json" "$here/package-lock.json" "$folder/" || exit 1
cd "$folder" && npm ci --no-audit --no-fund --loglevel=error
