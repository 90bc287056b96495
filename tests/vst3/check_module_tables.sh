#!/bin/sh
# Usage: check_module_tables.sh <module> <objdump|nm>
# The module exports only its VST3 entry points, and a Windows module imports only system DLLs.
set -eu
module=$1
tool=$2
fail=0
case "$module" in
*.vst3)
    exports=$("$tool" -p "$module" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
        sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort)
    [ "$exports" = "GetPluginFactory" ] || { echo "exports: $exports"; fail=1; }
    for dll in $("$tool" -p "$module" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
        case $(echo "$dll" | tr 'A-Z' 'a-z') in
        kernel32.dll | user32.dll | gdi32.dll | ole32.dll | oleaut32.dll | shell32.dll | \
            shlwapi.dll | advapi32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-*.dll) ;;
        *) echo "imports a non-system DLL: $dll"; fail=1 ;;
        esac
    done
    ;;
*.so)
    exports=$("$tool" -D --defined-only "$module" | awk '{print $3}' | sort | tr '\n' ' ')
    [ "$exports" = "GetPluginFactory ModuleEntry ModuleExit " ] || { echo "exports: $exports"; fail=1; }
    ;;
*) echo "unknown module kind: $module"; fail=1 ;;
esac
[ $fail -eq 0 ] && echo "module tables ok: $module"
exit $fail
