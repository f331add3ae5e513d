#!/bin/sh
# Runs a VBScript or JScript test with cscript. cscript exits 0 even when the
# script fails, so each script prints its own verdict, which CTest reads.
# The x86 component is registered in the 32-bit view: the 32-bit cscript reads it.
cscript=cscript
[ "$K1MRGRLS_ARCH" = x86 ] && cscript=$WINEPREFIX/drive_c/windows/syswow64/cscript.exe
exec wine "$cscript" //nologo "$(winepath -w "$1")"
