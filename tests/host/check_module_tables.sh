#!/bin/sh
# Checks the Windows module's export and import tables: exactly the two entry
# points are exported, and only system libraries are imported (the C++ runtime
# is linked in).
# Usage: check_module_tables.sh OBJDUMP MODULE
set -eu
objdump=$1
module=$2
tables=$("$objdump" -p "$module")

exports=$(printf '%s\n' "$tables" | awk '
  /^\[Ordinal\/Name Pointer\] Table/ { inside = 1; next }
  inside && NF == 0 { inside = 0 }
  inside { print $NF }' | sort | tr '\n' ' ')
if [ "$exports" != "EffectMain PluginDataEntryFunction " ]; then
  echo "exports are '$exports', expected 'EffectMain PluginDataEntryFunction'" >&2
  exit 1
fi

imports=$(printf '%s\n' "$tables" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
if [ -z "$imports" ]; then
  echo "no import table found" >&2
  exit 1
fi
status=0
for dll in $imports; do
  case $dll in
    kernel32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-*.dll | user32.dll | advapi32.dll) ;;
    *) echo "imports a non-system library: $dll" >&2; status=1 ;;
  esac
done
[ $status -eq 0 ] && echo "exports: $exports; imports: $(echo $imports)"
exit $status
