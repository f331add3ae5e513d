#!/bin/sh
# Exits 0 when 32-bit Wine is installed, so that 32-bit programs (the x86 suite)
# can run; Debian's wine launcher needs the wine32:i386 package for them.
dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"
