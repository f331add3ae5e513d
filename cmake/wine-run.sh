#!/bin/sh
# Runs a Windows program under Wine in the build tree's private prefix.
# WINEPREFIX comes from the caller (CTest sets it); default to the current build tree.
: "${WINEPREFIX:=$PWD/wineprefix}"
export WINEPREFIX
export WINEDEBUG=-all
exec wine "$@"
