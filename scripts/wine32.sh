#!/bin/sh
# Exits 0 when 32-bit Wine works, so that 32-bit programs (the x86 suite) can run:
# Debian's wine launcher then uses the wine32:i386 loader, which must start.
# (On a kernel that refuses 32-bit programs the installed loader fails, and with
# it every Wine command: scripts/install-deps.sh removes it again.)
dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed" &&
    /usr/lib/wine/wine --version >/dev/null 2>&1
