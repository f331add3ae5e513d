#!/bin/sh
# Runs a VBScript or JScript test with cscript. cscript exits 0 even when the
# script fails, so each script prints its own verdict, which CTest reads.
exec wine cscript //nologo "$(winepath -w "$1")"
