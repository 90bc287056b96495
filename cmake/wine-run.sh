#!/bin/sh
# Usage: wine-run.sh <prefix folder> <program.exe> [args...]
# Runs a Windows program under wine in its own prefix, with no display (null graphics driver).
set -e
prefix=$1
shift
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$(dirname "$prefix")"
(
    flock 9
    if [ ! -f "$prefix/.velum-ready" ]; then
        wineboot -i >/dev/null 2>&1 || true
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
        wineserver -w
        touch "$prefix/.velum-ready"
    fi
) 9>"$prefix.lock"
exec wine "$@"
