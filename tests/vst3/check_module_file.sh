#!/bin/sh
# The module a host loads must export exactly GetPluginFactory and its entry
# point, and import nothing but Windows' own libraries: a compiler runtime
# DLL would be missing on the user's machine.
# usage: check_module_file.sh OBJDUMP MODULE
set -eu
objdump=$1
module=$2
headers=$("$objdump" -p "$module")

exports=$(printf '%s\n' "$headers" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort -u | tr '\n' ' ')
if [ "$exports" != "DllMain GetPluginFactory " ]; then
  echo "unexpected exports: $(printf '%s' "$exports" | cut -c1-200)" >&2
  exit 1
fi

status=0
for dll in $(printf '%s\n' "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
  case $(printf '%s' "$dll" | tr 'A-Z' 'a-z') in
    kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shell32.dll|shlwapi.dll|ole32.dll|oleaut32.dll|\
    version.dll|msvcrt.dll|ucrtbase.dll|api-ms-win-*.dll) ;;
    *) echo "imports a non-system library: $dll" >&2; status=1 ;;
  esac
done
exit $status
