#!/bin/sh
# Checks that the Linux module exports exactly the two entry points: no other
# defined dynamic symbol of any kind (functions, data, weak or unique template
# instances).
# Usage: check_module_exports_elf.sh NM MODULE
set -eu
exports=$("$1" -D --defined-only "$2" | awk '{ print $NF }' | sort | tr '\n' ' ')
if [ "$exports" != "EffectMain PluginDataEntryFunction " ]; then
  echo "exports are '$exports', expected 'EffectMain PluginDataEntryFunction'" >&2
  exit 1
fi
echo "exports: $exports"
