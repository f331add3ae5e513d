#!/bin/sh
# Fails when a C++ source of the project is not formatted as .clang-format says.
# Installs clang-format when it is missing.
set -e
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null 2>&1; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq clang-format >/dev/null
fi
files=$(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run --Werror $files; then
    echo "clang-format: the files above need formatting (clang-format -i FILE)" >&2
    exit 1
fi
echo "clang-format: $(echo "$files" | wc -w) files formatted"
